# The user's own photographs as backgrounds 187..206, chosen with
# -DLUMERIDGE_PHOTOS_DIR=<folder>. Included by images.cmake.
#
# The photographs are the .jpg, .jpeg and .png files directly in the folder,
# taken in name order. Twenty or more: the first twenty are used and a
# warning names the others. Fewer: they repeat in order until all twenty
# backgrounds are filled. A folder that does not exist, holds no photograph
# or holds one ImageMagick cannot read stops the configure step with a
# message, as does a missing ImageMagick.
#
# ImageMagick turns each photograph (its first frame, turned upright by its
# orientation tag, transparency laid on black) into a 1024 x 1024 square cut
# from its middle, written as an uncompressed bottom-up 24-bit BMP without
# alpha or colour-space data: the format the resource compiler and the
# Linux bitmap reader take. An edited photograph is converted again by the
# next build; adding or removing one re-runs the configure step. The
# program still reads no file when it runs: the bitmaps are compiled in.

get_filename_component(photos_dir "${LUMERIDGE_PHOTOS_DIR}" ABSOLUTE BASE_DIR "${CMAKE_BINARY_DIR}")
if(NOT IS_DIRECTORY "${photos_dir}")
  message(FATAL_ERROR "LUMERIDGE_PHOTOS_DIR: the folder \"${photos_dir}\" does not exist.")
endif()

find_program(LUMERIDGE_CONVERT convert)
find_program(LUMERIDGE_IDENTIFY identify)
if(NOT LUMERIDGE_CONVERT OR NOT LUMERIDGE_IDENTIFY)
  message(FATAL_ERROR "LUMERIDGE_PHOTOS_DIR needs ImageMagick's convert and identify (Debian package imagemagick).")
endif()

file(GLOB photo_candidates CONFIGURE_DEPENDS LIST_DIRECTORIES false "${photos_dir}/*")
set(photos "")
foreach(file IN LISTS photo_candidates)
  get_filename_component(ext "${file}" LAST_EXT)
  string(TOLOWER "${ext}" ext)
  if(ext STREQUAL ".jpg" OR ext STREQUAL ".jpeg" OR ext STREQUAL ".png")
    list(APPEND photos "${file}")
  endif()
endforeach()
list(SORT photos)
list(LENGTH photos photo_count)
if(photo_count EQUAL 0)
  message(FATAL_ERROR "LUMERIDGE_PHOTOS_DIR: no .jpg, .jpeg or .png files in \"${photos_dir}\".")
endif()
if(photo_count GREATER 20)
  list(SUBLIST photos 20 -1 unused)
  list(SUBLIST photos 0 20 photos)
  string(REPLACE ";" "\n  " unused_text "${unused}")
  message(WARNING "LUMERIDGE_PHOTOS_DIR: only the first twenty photographs (in name order) are used; left out:\n  ${unused_text}")
  set(photo_count 20)
endif()

foreach(photo IN LISTS photos)
  execute_process(
    COMMAND ${LUMERIDGE_IDENTIFY} -ping -format "%w x %h\n" "${photo}[0]"
    RESULT_VARIABLE rc
    OUTPUT_QUIET
    ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(STRIP "${err}" err)
    message(FATAL_ERROR "LUMERIDGE_PHOTOS_DIR: ImageMagick cannot read \"${photo}\":\n  ${err}")
  endif()
endforeach()
message(STATUS "Backgrounds from ${photo_count} photograph(s) in ${photos_dir}")

foreach(k RANGE 0 19)
  math(EXPR id "187 + ${k}")
  math(EXPR source "${k} % ${photo_count}")
  set(bmp ${LUMERIDGE_GEN_DIR}/background_${id}.bmp)
  if(k LESS photo_count)
    list(GET photos ${k} photo)
    add_custom_command(
      OUTPUT ${bmp}
      COMMAND ${LUMERIDGE_CONVERT} "${photo}[0]" -auto-orient -colorspace sRGB
              -background black -alpha remove -alpha off
              -resize 1024x1024^ -gravity center -extent 1024x1024
              -depth 8 -type TrueColor -strip BMP3:${bmp}
      DEPENDS "${photo}"
      COMMENT "Converting ${photo} into background ${id}"
      VERBATIM)
  else()
    math(EXPR source_id "187 + ${source}")
    set(source_bmp ${LUMERIDGE_GEN_DIR}/background_${source_id}.bmp)
    add_custom_command(
      OUTPUT ${bmp}
      COMMAND ${CMAKE_COMMAND} -E copy ${source_bmp} ${bmp}
      DEPENDS ${source_bmp}
      COMMENT "Background ${id} repeats background ${source_id}"
      VERBATIM)
  endif()
  list(APPEND background_bitmaps ${bmp})
endforeach()
