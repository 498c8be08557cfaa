# The generated images: a small generator program, built with the compiler of
# the build machine (also in a cross build), writes the backgrounds, logo,
# banner, emblem and icons into the gen/ folder.

set(LUMERIDGE_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for the image generator")

set(imagegen_dir ${PROJECT_SOURCE_DIR}/tools/imagegen)
file(GLOB imagegen_sources CONFIGURE_DEPENDS ${imagegen_dir}/*.cpp ${imagegen_dir}/*.h)
set(imagegen_cpp ${imagegen_sources})
list(FILTER imagegen_cpp INCLUDE REGEX "\\.cpp$")
set(imagegen_exe ${CMAKE_CURRENT_BINARY_DIR}/imagegen)

add_custom_command(
  OUTPUT ${imagegen_exe}
  COMMAND ${LUMERIDGE_HOST_CXX} -std=c++17 -O2 -I ${imagegen_dir} ${imagegen_cpp} -o ${imagegen_exe}
  DEPENDS ${imagegen_sources}
  COMMENT "Building the image generator with the host compiler"
  VERBATIM)

set(imagegen_items "")
set(imagegen_outputs "")
foreach(id RANGE 187 206)
  list(APPEND imagegen_items background:${id})
  list(APPEND imagegen_outputs ${LUMERIDGE_GEN_DIR}/background_${id}.bmp)
  list(APPEND LUMERIDGE_GENERATED_RESOURCES ${LUMERIDGE_GEN_DIR}/background_${id}.bmp)
  list(APPEND imagegen_outputs ${LUMERIDGE_GEN_DIR}/background_${id}.png)
endforeach()
list(APPEND imagegen_items logo wide emblem icon:102 icon:113)
foreach(name logo.bmp wide.bmp emblem.png icon_102.ico icon_113.ico)
  list(APPEND imagegen_outputs ${LUMERIDGE_GEN_DIR}/${name})
  list(APPEND LUMERIDGE_GENERATED_RESOURCES ${LUMERIDGE_GEN_DIR}/${name})
endforeach()

add_custom_command(
  OUTPUT ${imagegen_outputs}
  COMMAND ${imagegen_exe} ${LUMERIDGE_GEN_DIR} ${imagegen_items}
  DEPENDS ${imagegen_exe}
  COMMENT "Generating the image resources"
  VERBATIM)
