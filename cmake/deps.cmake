# Third-party libraries: libjpeg (IJG interface from libjpeg-turbo), libspng
# over zlib, and GoogleTest built from the sources Debian ships.

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

add_library(tamble_png INTERFACE)
if(WIN32)
  # Cross-built by scripts/deps-png from Debian's source packages, beside libjpeg.
  if(NOT EXISTS "${TAMBLE_JPEG_PREFIX}/lib/libspng.a" OR NOT EXISTS "${TAMBLE_JPEG_PREFIX}/lib/libz.a")
    message(FATAL_ERROR "libspng or zlib for win64 missing in ${TAMBLE_JPEG_PREFIX}; run scripts/deps-png")
  endif()
  target_compile_definitions(tamble_png INTERFACE SPNG_STATIC)
  target_include_directories(tamble_png INTERFACE "${TAMBLE_JPEG_PREFIX}/include")
  target_link_libraries(tamble_png INTERFACE "${TAMBLE_JPEG_PREFIX}/lib/libspng.a"
                        "${TAMBLE_JPEG_PREFIX}/lib/libz.a")
else()
  find_package(ZLIB REQUIRED)
  find_path(SPNG_INCLUDE_DIR spng.h REQUIRED)
  find_library(SPNG_LIBRARY spng REQUIRED)
  target_include_directories(tamble_png INTERFACE "${SPNG_INCLUDE_DIR}")
  target_link_libraries(tamble_png INTERFACE "${SPNG_LIBRARY}" ZLIB::ZLIB)
endif()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
