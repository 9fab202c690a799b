# Third-party libraries: libjpeg (IJG interface from libjpeg-turbo) and
# GoogleTest built from the sources Debian ships.

add_library(tamble_jpeg INTERFACE)
if(WIN32)
  # Cross-built by scripts/deps-jpeg from Debian's source package.
  set(TAMBLE_JPEG_PREFIX "${CMAKE_SOURCE_DIR}/build/deps/win64" CACHE PATH "libjpeg-turbo for win64")
  if(NOT EXISTS "${TAMBLE_JPEG_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "libjpeg for win64 missing in ${TAMBLE_JPEG_PREFIX}; run scripts/deps-jpeg")
  endif()
  target_include_directories(tamble_jpeg INTERFACE "${TAMBLE_JPEG_PREFIX}/include")
  target_link_libraries(tamble_jpeg INTERFACE "${TAMBLE_JPEG_PREFIX}/lib/libjpeg.a")
else()
  find_package(JPEG REQUIRED)
  target_link_libraries(tamble_jpeg INTERFACE JPEG::JPEG)
endif()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
