# The Debian package (scripts/package.sh): cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hollowmere)
set(CPACK_PACKAGE_VENDOR "Quillmark")
set(CPACK_PACKAGE_CONTACT "Hollowmere developers <hollowmere@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "temperature data logger for wireless thermocouple units")
# The summary above is the first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Records, shows and saves the temperatures that battery-powered thermocouple units\nreport by radio to a USB dongle; with a headless recorder and a dongle simulator.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY hollowmere)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The Qt platform plugin for the window is loaded at run time, so dpkg-shlibdeps cannot see it; the
# windows' one font family is a package of its own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
