# Installing like a desktop program: the programs, their manual pages (from their --help), the
# desktop entry, the AppStream metainfo, the icon in the hicolor theme and, for a known vendor id,
# the udev rule that opens the dongle to the user at the seat.
include(GNUInstallDirs)

set(HOLLOWMERE_HID_VID "" CACHE STRING
    "The dongle's USB vendor id (hexadecimal, e.g. 04d8) for the udev rule; empty installs no rule")

set(hollowmere_programs)
foreach(program IN ITEMS hollowmere hollowmere-record hollowmere-sim hollowmere-plot hollowmere-stats)
  if(TARGET ${program})
    list(APPEND hollowmere_programs ${program})
  endif()
endforeach()
if(NOT TARGET hollowmere)
  return()  # a build without the window (sanitizer or fuzz builds) installs nothing
endif()
install(TARGETS ${hollowmere_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages: help2man reads each program's --help; the sections of our own come from
# packaging/man/<program>.h2m.
find_program(HELP2MAN help2man REQUIRED)
set(man_pages)
foreach(program IN LISTS hollowmere_programs)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  set(packed ${page}.gz)
  set(include ${CMAKE_SOURCE_DIR}/packaging/man/${program}.h2m)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env HOME=${CMAKE_BINARY_DIR} QT_QPA_PLATFORM=offscreen
      ${HELP2MAN} --no-info --no-discard-stderr --section=1 --version-string=${PROJECT_VERSION}
      --include=${include} --output=${page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${include}
    COMMENT "Writing the manual page of ${program}")
  list(APPEND man_pages ${packed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/hollowmere.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/packaging/hollowmere.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/io.github.hollowmere.Hollowmere.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/io.github.hollowmere.Hollowmere.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${HOLLOWMERE_ICON_THEME} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The rule names the vendor id as udev compares it: four lower-case hexadecimal digits, no "0x".
string(TOLOWER "${HOLLOWMERE_HID_VID}" HID_VID)
string(REGEX REPLACE "^0x" "" HID_VID "${HID_VID}")
if(HID_VID STREQUAL "")
  install(CODE "message(STATUS \"Not installing the udev rule for the dongle: HOLLOWMERE_HID_VID is not set\")")
elseif(NOT HID_VID MATCHES "^[0-9a-f][0-9a-f][0-9a-f][0-9a-f]$")
  message(FATAL_ERROR "HOLLOWMERE_HID_VID must be four hexadecimal digits such as 04d8, not '${HOLLOWMERE_HID_VID}'")
else()
  configure_file(${CMAKE_SOURCE_DIR}/packaging/60-hollowmere-dongle.rules
                 ${CMAKE_BINARY_DIR}/packaging/60-hollowmere-dongle.rules @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/60-hollowmere-dongle.rules DESTINATION lib/udev/rules.d)
endif()

include(${CMAKE_SOURCE_DIR}/cmake/Package.cmake)
