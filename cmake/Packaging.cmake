# The Debian package, made with `cpack -G DEB` in a build tree: tavik_<version>_<arch>.deb with the program,
# tavik-cli, zemra-sim, LynSerial, the desktop entry, the .zmg file type and the icons. Its dependencies are
# taken from the shared libraries the binaries use.
set(CPACK_PACKAGE_NAME tavik)
set(CPACK_PACKAGE_VENDOR "${TAVIK_MAKER}")
set(CPACK_PACKAGE_CONTACT "Tavik maintainers <tavik@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration program for the Zemra-30 alarm annunciator")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavik configures a Zemra-30 analog alarm annunciator: general constants, physical and logical inputs \
and alarms, checked against the unit's rules, saved as .zmg documents and transferred over RS-232. \
Also contains tavik-cli, the zemra-sim simulated unit and the LynSerial serial-port library.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its SVG support as a plug-in, which no linked library names: without it the toolbar has no icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# LynSerial ships in this package; dpkg-shlibdeps finds it in the build tree, and ldconfig runs on install.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/serial)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
if(NOT WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingDeb.cmake)
endif()

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
endif()
include(CPack)
