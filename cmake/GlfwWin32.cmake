# GLFW for the Windows cross build: Debian's glfw3 source (the same 3.3.8
# release the Linux build uses) with our two changes, built statically with
# this build's toolchain at configure time. Provides the imported target `glfw`.
#   patches/glfw-3.3.8-attach-win32-window.patch  the preview-window addition
#   patches/glfw-3.3.8-display-power.patch        a full-screen window leaves
#     the display free to power off (no display-required execution state,
#     SC_MONITORPOWER reaches the default window procedure)
#
# Everything lives under ${CMAKE_BINARY_DIR}/glfw-win32: the downloaded
# tarball is kept, and the build is redone only when a patch or the
# toolchain changes, so a reconfigure neither refetches nor rebuilds.

set(LUMERIDGE_GLFW_VERSION 3.3.8)
set(_glfw_root ${CMAKE_BINARY_DIR}/glfw-win32)
set(_glfw_patches
  ${CMAKE_CURRENT_LIST_DIR}/patches/glfw-${LUMERIDGE_GLFW_VERSION}-attach-win32-window.patch
  ${CMAKE_CURRENT_LIST_DIR}/patches/glfw-${LUMERIDGE_GLFW_VERSION}-display-power.patch)
set(_glfw_src ${_glfw_root}/src/glfw-${LUMERIDGE_GLFW_VERSION})
set(_glfw_build ${_glfw_root}/build)
set(_glfw_prefix ${_glfw_root}/install)
set(_glfw_lib ${_glfw_prefix}/lib/libglfw3.a)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_glfw_patches})

# 1. The original tarball, fetched once.
file(GLOB _glfw_tarball ${_glfw_root}/download/glfw3_${LUMERIDGE_GLFW_VERSION}.orig.tar.*)
if(NOT _glfw_tarball)
  message(STATUS "GLFW ${LUMERIDGE_GLFW_VERSION}: fetching Debian's glfw3 source package")
  execute_process(
    COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/fetch-glfw-source.sh ${_glfw_root}/download
    RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "Fetching the GLFW source failed (scripts/fetch-glfw-source.sh)")
  endif()
  file(GLOB _glfw_tarball ${_glfw_root}/download/glfw3_${LUMERIDGE_GLFW_VERSION}.orig.tar.*)
  if(NOT _glfw_tarball)
    message(FATAL_ERROR "No glfw3_${LUMERIDGE_GLFW_VERSION}.orig.tar.* was downloaded")
  endif()
endif()
list(GET _glfw_tarball 0 _glfw_tarball)

# 2.-3. Unpack, patch and build when the inputs changed.
set(_patch_hashes "")
foreach(_patch IN LISTS _glfw_patches)
  file(SHA256 ${_patch} _patch_hash)
  string(APPEND _patch_hashes " ${_patch_hash}")
endforeach()
file(SHA256 ${_glfw_tarball} _tarball_hash)
set(_glfw_key "${_tarball_hash}${_patch_hashes} ${CMAKE_C_COMPILER} ${CMAKE_TOOLCHAIN_FILE}")
set(_glfw_stamp ${_glfw_root}/built.stamp)
set(_glfw_stamp_text "")
if(EXISTS ${_glfw_stamp})
  file(READ ${_glfw_stamp} _glfw_stamp_text)
endif()

if(NOT _glfw_stamp_text STREQUAL _glfw_key OR NOT EXISTS ${_glfw_lib})
  file(REMOVE_RECURSE ${_glfw_root}/src ${_glfw_build} ${_glfw_prefix} ${_glfw_stamp})
  file(MAKE_DIRECTORY ${_glfw_root}/src)
  file(ARCHIVE_EXTRACT INPUT ${_glfw_tarball} DESTINATION ${_glfw_root}/src)
  if(NOT EXISTS ${_glfw_src}/CMakeLists.txt)
    message(FATAL_ERROR "The GLFW tarball did not unpack to ${_glfw_src}")
  endif()

  find_program(LUMERIDGE_PATCH_PROGRAM patch REQUIRED)
  foreach(_patch IN LISTS _glfw_patches)
    execute_process(
      COMMAND ${LUMERIDGE_PATCH_PROGRAM} -p1 --forward --batch -i ${_patch}
      WORKING_DIRECTORY ${_glfw_src}
      RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR "Applying ${_patch} to GLFW failed")
    endif()
  endforeach()

  message(STATUS "GLFW ${LUMERIDGE_GLFW_VERSION}: cross build with our patches")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${_glfw_src} -B ${_glfw_build} -G ${CMAKE_GENERATOR}
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=${_glfw_prefix}
      -DBUILD_SHARED_LIBS=OFF
      -DGLFW_BUILD_EXAMPLES=OFF
      -DGLFW_BUILD_TESTS=OFF
      -DGLFW_BUILD_DOCS=OFF
      -DGLFW_INSTALL=ON
    OUTPUT_FILE ${_glfw_root}/configure.log
    ERROR_FILE ${_glfw_root}/configure.log
    RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "Configuring GLFW failed; see ${_glfw_root}/configure.log")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${_glfw_build} --target install -j 2
    OUTPUT_FILE ${_glfw_root}/build.log
    ERROR_FILE ${_glfw_root}/build.log
    RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "Building GLFW failed; see ${_glfw_root}/build.log")
  endif()
  file(WRITE ${_glfw_stamp} "${_glfw_key}")
endif()

add_library(glfw STATIC IMPORTED GLOBAL)
set_target_properties(glfw PROPERTIES
  IMPORTED_LOCATION ${_glfw_lib}
  INTERFACE_INCLUDE_DIRECTORIES ${_glfw_prefix}/include
  INTERFACE_LINK_LIBRARIES "gdi32")
