# The Windows installer, made with `cpack -G NSIS` in a mingw-w64 build tree (scripts/package-windows.sh):
# Tavik-<version>-win64.exe. Its pages: welcome, the licence (the program's and Qt's LGPL notice), folder,
# Start menu folder, progress, and the last page with a "Start Tavik" check box; "Tavik <version>" stands
# where NSIS puts its own name. It installs for all users under Program Files\Tavik (the 64-bit folder) the
# program, tavik-cli, LynSerial, the Qt DLLs and plug-ins, the help and Qt's licence texts; adds a Start menu
# entry; opens .zmg documents with Tavik, with its icon; and registers an uninstaller that removes it all.
set(CPACK_GENERATOR NSIS)
# The NSIS commands below hold quotes, which CPack must pass on as they are.
set(CPACK_VERBATIM_VARIABLES ON)
# One version everywhere, as the About box writes it (1.0.0 reads 1.00): the installer, its title and
# branding line, and Add/Remove Programs (DisplayVersion; Publisher is the maker, CPACK_PACKAGE_VENDOR).
set(CPACK_PACKAGE_VERSION "${TAVIK_VERSION_TEXT}")
set(CPACK_PACKAGE_FILE_NAME "${TAVIK_PRODUCT}-${TAVIK_VERSION_TEXT}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tavik)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tavik)
# A 64-bit installer: it writes the 64-bit registry and Program Files, and runs where only 64-bit Windows
# programs do.
# The last page's check box starts the program; the branding line names it. (CPACK_NSIS_BRANDING_TEXT
# always asks for a trimmed control, which makensis refuses outside Windows.)
set(CPACK_NSIS_DEFINES "Target amd64-unicode
  BrandingText \"${TAVIK_PRODUCT} ${TAVIK_VERSION_TEXT}\"
  !define MUI_FINISHPAGE_RUN_TEXT \"Start ${TAVIK_PRODUCT}\"")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# Everything in the installation's top folder, not under the Debian package's /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX "")
# Also the Start menu folder's name.
set(CPACK_NSIS_PACKAGE_NAME Tavik)
set(CPACK_NSIS_DISPLAY_NAME "${TAVIK_PRODUCT} ${TAVIK_VERSION_TEXT}")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN tavik.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/ui/rendered/tavik.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_BINARY_DIR}/ui/rendered/tavik.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME tavik.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/license.txt.in ${PROJECT_BINARY_DIR}/license.txt @ONLY)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_BINARY_DIR}/license.txt)
install(FILES ${PROJECT_BINARY_DIR}/license.txt DESTINATION ${CMAKE_INSTALL_BINDIR})
# The Start menu entry: the program under its own name.
set(CPACK_PACKAGE_EXECUTABLES tavik "Tavik Programmer")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)

# .zmg documents open with Tavik and show its icon. The uninstaller takes the type back only while it still
# points at Tavik, so that another program that took .zmg over keeps it.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr HKCR ".zmg" "" "Tavik.Document"
  WriteRegStr HKCR ".zmg" "Content Type" "application/x-tavik-document"
  WriteRegStr HKCR "Tavik.Document" "" "Tavik configuration"
  WriteRegStr HKCR "Tavik.Document\DefaultIcon" "" "$INSTDIR\tavik.exe,0"
  WriteRegStr HKCR "Tavik.Document\shell\open\command" "" "$\"$INSTDIR\tavik.exe$\" $\"%1$\""
  System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 HKCR ".zmg" ""
  StrCmp $0 "Tavik.Document" 0 +2
  DeleteRegKey HKCR ".zmg"
  DeleteRegKey HKCR "Tavik.Document"
  System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
]=])
