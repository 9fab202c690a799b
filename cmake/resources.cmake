# Windows resources: icons generated from text pixel maps, dialog templates
# in UTF-8 .rc files, the manifest and the version record, compiled by
# windres into one object; readme.html converted to Shift_JIS.
find_program(PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
find_program(ICONV iconv REQUIRED)

file(GLOB ICON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/*.txt)
set(ICON_OUTPUTS "")
foreach(src ${ICON_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  set(out ${CMAKE_BINARY_DIR}/icons/${name}.ico)
  # The sides each icon is shown at: the small ones at 96 to 192 DPI, and
  # for the program's icon the large ones too (the About box, Explorer).
  set(sides 16,20,24,32)
  if(name STREQUAL "app")
    set(sides 16,20,24,32,40,48,64)
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/icongen.py --also ${sides} ${out} ${src}
    DEPENDS ${src} ${CMAKE_SOURCE_DIR}/tools/icongen.py
    COMMENT "icon ${name}.ico")
  list(APPEND ICON_OUTPUTS ${out})
endforeach()

file(GLOB RC_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc)
file(GLOB RC_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.h)
set(TAMBLE_RC_OBJECT ${CMAKE_BINARY_DIR}/tamble_rc.o)
add_custom_command(OUTPUT ${TAMBLE_RC_OBJECT}
  COMMAND ${CMAKE_RC_COMPILER} -O coff -c 65001
          -I ${CMAKE_SOURCE_DIR} -I ${CMAKE_BINARY_DIR}
          -i ${CMAKE_SOURCE_DIR}/resources/tamble.rc -o ${TAMBLE_RC_OBJECT}
  DEPENDS ${RC_SOURCES} ${RC_HEADERS} ${ICON_OUTPUTS} ${CMAKE_SOURCE_DIR}/resources/tamble.manifest
  COMMENT "resources")
set_source_files_properties(${TAMBLE_RC_OBJECT} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)

set(TAMBLE_README ${CMAKE_BINARY_DIR}/readme.html)
add_custom_command(OUTPUT ${TAMBLE_README}
  COMMAND ${ICONV} -f UTF-8 -t CP932 ${CMAKE_SOURCE_DIR}/resources/readme.html > ${TAMBLE_README}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/readme.html
  COMMENT "readme.html (Shift_JIS)")

add_custom_target(tamble_resources DEPENDS ${TAMBLE_RC_OBJECT} ${TAMBLE_README})
