# The generated images: a small generator program, built with the compiler of
# the build machine (also in a cross build), writes the logo, banner, emblem,
# icons and the twenty backgrounds into the gen/ folder. With
# LUMERIDGE_PHOTOS_DIR set, the backgrounds come from the user's own
# photographs instead (photos.cmake).
#
# One command per background, so that a parallel build paints them side by
# side; the target lumeridge_background_images makes just the backgrounds.
#
# LUMERIDGE_IMAGES_FROM=<gen folder of another build tree> copies the images
# that tree has made instead of building the generator and painting them
# again (the images do not depend on the compiler or the build type).
# scripts/test paints them once, in the linux tree, for all its trees.

set(LUMERIDGE_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for the image generator")
set(LUMERIDGE_PHOTOS_DIR "" CACHE PATH
  "Folder of JPEG/PNG photographs to compile in as the backgrounds instead of the generated ones")

set(imagegen_dir ${PROJECT_SOURCE_DIR}/tools/imagegen)
file(GLOB imagegen_sources CONFIGURE_DEPENDS ${imagegen_dir}/*.cpp ${imagegen_dir}/*.h)
# The PNG encoder it shares with the tests and the other tools.
list(APPEND imagegen_sources ${PROJECT_SOURCE_DIR}/tools/png/png_encoder.cpp ${PROJECT_SOURCE_DIR}/tools/png/png_encoder.h)
set(imagegen_cpp ${imagegen_sources})
list(FILTER imagegen_cpp INCLUDE REGEX "\\.cpp$")
set(imagegen_exe ${CMAKE_CURRENT_BINARY_DIR}/imagegen)
set(LUMERIDGE_IMAGES_FROM "" CACHE PATH
  "gen folder of another build tree whose generated images this build copies instead of painting them")

if(LUMERIDGE_IMAGES_FROM AND NOT EXISTS ${LUMERIDGE_IMAGES_FROM}/icon_113.ico)
  message(STATUS "LUMERIDGE_IMAGES_FROM: no images in ${LUMERIDGE_IMAGES_FROM}; this build paints its own")
  set(LUMERIDGE_IMAGES_FROM "")
endif()

# make_image(<output>... COMMAND <generator arguments>... COMMENT <text>):
# runs the generator, or copies the outputs from LUMERIDGE_IMAGES_FROM.
function(make_image)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "COMMENT" "OUTPUT;ARGS")
  if(LUMERIDGE_IMAGES_FROM)
    set(copies "")
    set(sources "")
    foreach(out IN LISTS arg_OUTPUT)
      get_filename_component(name ${out} NAME)
      list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${LUMERIDGE_IMAGES_FROM}/${name} ${out})
      list(APPEND sources ${LUMERIDGE_IMAGES_FROM}/${name})
    endforeach()
    add_custom_command(OUTPUT ${arg_OUTPUT} ${copies} DEPENDS ${sources}
      COMMENT "${arg_COMMENT} (copied from ${LUMERIDGE_IMAGES_FROM})" VERBATIM)
  else()
    add_custom_command(OUTPUT ${arg_OUTPUT}
      COMMAND ${imagegen_exe} ${LUMERIDGE_GEN_DIR} ${arg_ARGS}
      DEPENDS ${imagegen_exe} COMMENT "${arg_COMMENT}" VERBATIM)
  endif()
endfunction()

add_custom_command(
  OUTPUT ${imagegen_exe}
  COMMAND ${LUMERIDGE_HOST_CXX} -std=c++17 -O2 -I ${imagegen_dir} -I ${PROJECT_SOURCE_DIR} -I ${LUMERIDGE_GENERATED_INCLUDE_DIR} ${imagegen_cpp} -o ${imagegen_exe}
  DEPENDS ${imagegen_sources} ${LUMERIDGE_RESOURCE_IDS_HEADER}
  COMMENT "Building the image generator with the host compiler"
  VERBATIM)

# Logo, banner, emblem and icons.
set(artwork_outputs "")
foreach(name logo.bmp wide.bmp emblem.png icon_102.ico icon_113.ico)
  list(APPEND artwork_outputs ${LUMERIDGE_GEN_DIR}/${name})
endforeach()
make_image(OUTPUT ${artwork_outputs} ARGS logo wide emblem icon:102 icon:113
  COMMENT "Generating the logo, banner, emblem and icons")
list(APPEND LUMERIDGE_GENERATED_RESOURCES ${artwork_outputs})

# Backgrounds 187..206.
set(background_bitmaps "")
if(LUMERIDGE_PHOTOS_DIR)
  include(${CMAKE_CURRENT_LIST_DIR}/photos.cmake)
else()
  foreach(id RANGE 187 206)
    set(bmp ${LUMERIDGE_GEN_DIR}/background_${id}.bmp)
    make_image(OUTPUT ${bmp} ${LUMERIDGE_GEN_DIR}/background_${id}.png ARGS background:${id}
      COMMENT "Painting background ${id}")
    list(APPEND background_bitmaps ${bmp})
  endforeach()
endif()
list(APPEND LUMERIDGE_GENERATED_RESOURCES ${background_bitmaps})
add_custom_target(lumeridge_background_images DEPENDS ${background_bitmaps})
