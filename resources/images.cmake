# The generated images: a small generator program, built with the compiler of
# the build machine (also in a cross build), writes the logo, banner, emblem,
# icons and the twenty backgrounds into the gen/ folder. With
# LUMERIDGE_PHOTOS_DIR set, the backgrounds come from the user's own
# photographs instead (photos.cmake).
#
# One command per background, so that a parallel build paints them side by
# side; the target lumeridge_background_images makes just the backgrounds.

set(LUMERIDGE_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for the image generator")
set(LUMERIDGE_PHOTOS_DIR "" CACHE PATH
  "Folder of JPEG/PNG photographs to compile in as the backgrounds instead of the generated ones")

set(imagegen_dir ${PROJECT_SOURCE_DIR}/tools/imagegen)
file(GLOB imagegen_sources CONFIGURE_DEPENDS ${imagegen_dir}/*.cpp ${imagegen_dir}/*.h)
set(imagegen_cpp ${imagegen_sources})
list(FILTER imagegen_cpp INCLUDE REGEX "\\.cpp$")
set(imagegen_exe ${CMAKE_CURRENT_BINARY_DIR}/imagegen)

add_custom_command(
  OUTPUT ${imagegen_exe}
  COMMAND ${LUMERIDGE_HOST_CXX} -std=c++17 -O2 -I ${imagegen_dir} -I ${LUMERIDGE_GENERATED_INCLUDE_DIR} ${imagegen_cpp} -o ${imagegen_exe}
  DEPENDS ${imagegen_sources} ${LUMERIDGE_RESOURCE_IDS_HEADER}
  COMMENT "Building the image generator with the host compiler"
  VERBATIM)

# Logo, banner, emblem and icons.
set(artwork_outputs "")
foreach(name logo.bmp wide.bmp emblem.png icon_102.ico icon_113.ico)
  list(APPEND artwork_outputs ${LUMERIDGE_GEN_DIR}/${name})
endforeach()
add_custom_command(
  OUTPUT ${artwork_outputs}
  COMMAND ${imagegen_exe} ${LUMERIDGE_GEN_DIR} logo wide emblem icon:102 icon:113
  DEPENDS ${imagegen_exe}
  COMMENT "Generating the logo, banner, emblem and icons"
  VERBATIM)
list(APPEND LUMERIDGE_GENERATED_RESOURCES ${artwork_outputs})

# Backgrounds 187..206.
set(background_bitmaps "")
if(LUMERIDGE_PHOTOS_DIR)
  include(${CMAKE_CURRENT_LIST_DIR}/photos.cmake)
else()
  foreach(id RANGE 187 206)
    set(bmp ${LUMERIDGE_GEN_DIR}/background_${id}.bmp)
    add_custom_command(
      OUTPUT ${bmp} ${LUMERIDGE_GEN_DIR}/background_${id}.png
      COMMAND ${imagegen_exe} ${LUMERIDGE_GEN_DIR} background:${id}
      DEPENDS ${imagegen_exe}
      COMMENT "Painting background ${id}"
      VERBATIM)
    list(APPEND background_bitmaps ${bmp})
  endforeach()
endif()
list(APPEND LUMERIDGE_GENERATED_RESOURCES ${background_bitmaps})
add_custom_target(lumeridge_background_images DEPENDS ${background_bitmaps})
