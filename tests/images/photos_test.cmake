# The backgrounds of a build with LUMERIDGE_PHOTOS_DIR: makes a folder of
# photographs with ImageMagick, configures a small build of the project with
# it, builds only the backgrounds and checks the bitmaps (format, size,
# orientation, the repeat rule, the rebuild after an edited photograph) and
# the configure step's answers to a missing folder, a folder without
# photographs, an unreadable photograph and too many photographs.
#
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch folder> -DGENERATOR=<generator> -P photos_test.cmake
cmake_minimum_required(VERSION 3.25)

find_program(CONVERT convert REQUIRED)
function(fail text)
  message(SEND_ERROR "${text}")
  set_property(GLOBAL APPEND PROPERTY photo_test_failures "${text}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(photos ${WORK_DIR}/photos)
file(MAKE_DIRECTORY ${photos})

function(make_photo path)
  execute_process(COMMAND ${CONVERT} ${ARGN} ${path} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot make test photograph ${path}")
  endif()
endfunction()
# Landscape, four coloured quarters: red, lime / blue, white.
function(make_landscape top_left)
  make_photo(${photos}/a_landscape.jpg -size 1600x1200 xc:white
    -fill ${top_left} -draw "rectangle 0,0 799,599" -fill lime -draw "rectangle 800,0 1599,599"
    -fill blue -draw "rectangle 0,600 799,1199")
endfunction()
make_landscape(red)
# Portrait with transparency: red top-left and lime bottom-right quarters, the rest clear.
make_photo(${photos}/b_portrait.png -size 600x900 xc:none
  -fill red -draw "rectangle 0,0 299,449" -fill lime -draw "rectangle 300,450 599,899")
# Small, to be enlarged: blue above yellow.
make_photo(${photos}/c_small.jpeg -size 300x200 xc:yellow -fill blue -draw "rectangle 0,0 299,99")
file(WRITE ${photos}/notes.txt "not a photograph\n")

function(configure build_dir photo_dir result output)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build_dir} -G ${GENERATOR}
            -DCMAKE_BUILD_TYPE=Release -DLUMERIDGE_TESTS=OFF -DLUMERIDGE_PHOTOS_DIR=${photo_dir}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # CMake wraps long messages: match against single-spaced text.
  string(REGEX REPLACE "[ \t\n]+" " " text "${out}${err}")
  set(${result} ${rc} PARENT_SCOPE)
  set(${output} "${text}" PARENT_SCOPE)
endfunction()
function(build_backgrounds build_dir)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build_dir} --target lumeridge_background_images
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "building the backgrounds failed:\n${out}${err}")
  endif()
endfunction()

# The pixel at (x, y), y from the top, of a bottom-up 1024 x 1024 24-bit BMP, as "r;g;b".
function(pixel path x y out)
  math(EXPR offset "54 + (1023 - ${y}) * 3072 + ${x} * 3")
  file(READ ${path} bgr OFFSET ${offset} LIMIT 3 HEX)
  string(SUBSTRING "${bgr}" 0 2 b)
  string(SUBSTRING "${bgr}" 2 2 g)
  string(SUBSTRING "${bgr}" 4 2 r)
  math(EXPR r "0x${r}")
  math(EXPR g "0x${g}")
  math(EXPR b "0x${b}")
  set(${out} "${r};${g};${b}" PARENT_SCOPE)
endfunction()
# Fails unless the pixel is within 48 of the colour in every channel.
function(expect_pixel path x y r g b)
  pixel(${path} ${x} ${y} got)
  set(want ${r} ${g} ${b})
  foreach(k 0 1 2)
    list(GET got ${k} have)
    list(GET want ${k} should)
    math(EXPR diff "${have} - ${should}")
    if(diff GREATER 48 OR diff LESS -48)
      fail("${path}: pixel (${x}, ${y}) is ${got}, expected about ${want}")
      return()
    endif()
  endforeach()
endfunction()

set(gen ${WORK_DIR}/build/resources/gen)
configure(${WORK_DIR}/build ${photos} rc out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring with three photographs failed:\n${out}")
endif()
build_backgrounds(${WORK_DIR}/build)

# Every background: an uncompressed bottom-up 24-bit BMP of 1024 x 1024 with
# the plain 40-byte header and no alpha or colour-space data.
foreach(id RANGE 187 206)
  set(bmp ${gen}/background_${id}.bmp)
  if(NOT EXISTS ${bmp})
    fail("background ${id} was not made")
    continue()
  endif()
  file(SIZE ${bmp} size)
  file(READ ${bmp} header LIMIT 34 HEX)
  # BM, file size, reserved, pixel offset 54, info header 40, width 1024,
  # height +1024 (bottom-up), 1 plane, 24 bits, BI_RGB.
  set(expected_header "424d3600300000000000360000002800000000040000000400000100180000000000")
  if(NOT size EQUAL 3145782 OR NOT header STREQUAL expected_header)
    fail("background ${id}: ${size} bytes, header ${header}")
  endif()
endforeach()

# Upright and not mirrored, cut from the middle, transparency on black.
expect_pixel(${gen}/background_187.bmp 8 8 255 0 0)          # red top-left
expect_pixel(${gen}/background_187.bmp 1015 8 0 255 0)       # lime top-right
expect_pixel(${gen}/background_187.bmp 8 1015 0 0 255)       # blue bottom-left
expect_pixel(${gen}/background_187.bmp 1015 1015 255 255 255)
expect_pixel(${gen}/background_188.bmp 8 8 255 0 0)
expect_pixel(${gen}/background_188.bmp 1015 8 0 0 0)         # clear became black
expect_pixel(${gen}/background_188.bmp 1015 1015 0 255 0)
expect_pixel(${gen}/background_189.bmp 8 8 0 0 255)
expect_pixel(${gen}/background_189.bmp 8 1015 255 255 0)

# Three photographs fill twenty backgrounds in turn: 190 repeats 187, 206 repeats 188.
foreach(pair "190;187" "191;188" "205;187" "206;188")
  list(GET pair 0 copy)
  list(GET pair 1 original)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${gen}/background_${copy}.bmp ${gen}/background_${original}.bmp
    RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    fail("background ${copy} does not repeat background ${original}")
  endif()
endforeach()

# An edited photograph is converted again, and its repeats follow.
make_landscape(yellow)
build_backgrounds(${WORK_DIR}/build)
expect_pixel(${gen}/background_187.bmp 8 8 255 255 0)
expect_pixel(${gen}/background_190.bmp 8 8 255 255 0)

# The configure step's answers, in one scratch build.
set(scratch ${WORK_DIR}/scratch)
configure(${scratch} ${WORK_DIR}/missing rc out)
if(rc EQUAL 0 OR NOT out MATCHES "does not exist")
  fail("a missing folder: exit ${rc}\n${out}")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/empty)
file(WRITE ${WORK_DIR}/empty/readme.txt "no photographs here\n")
configure(${scratch} ${WORK_DIR}/empty rc out)
if(rc EQUAL 0 OR NOT out MATCHES "no \\.jpg, \\.jpeg or \\.png files")
  fail("a folder without photographs: exit ${rc}\n${out}")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/broken)
file(COPY ${photos}/c_small.jpeg DESTINATION ${WORK_DIR}/broken)
file(WRITE ${WORK_DIR}/broken/d_broken.jpg "this is no JPEG\n")
configure(${scratch} ${WORK_DIR}/broken rc out)
if(rc EQUAL 0 OR NOT out MATCHES "cannot read \"[^\"]*d_broken\\.jpg\"")
  fail("an unreadable photograph: exit ${rc}\n${out}")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/many)
foreach(k RANGE 10 30)
  file(COPY_FILE ${photos}/c_small.jpeg ${WORK_DIR}/many/p${k}.jpeg)
endforeach()
configure(${scratch} ${WORK_DIR}/many rc out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "only the first twenty" OR NOT out MATCHES "p30\\.jpeg" OR out MATCHES "p29\\.jpeg")
  fail("twenty-one photographs: exit ${rc}\n${out}")
endif()

get_property(failures GLOBAL PROPERTY photo_test_failures)
list(LENGTH failures failure_count)
if(failure_count GREATER 0)
  message(FATAL_ERROR "${failure_count} check(s) failed")
endif()
message(STATUS "photographs as backgrounds: all checks passed")
