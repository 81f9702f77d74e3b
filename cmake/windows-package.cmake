# What a Windows user downloads, made by CPack from a MinGW build:
#   Tavrin-Hushgate-<version>-win64.zip         unpack anywhere, run Hushgate.exe
#   Tavrin-Hushgate-<version>-win64-setup.exe   installs for every user of the
#                                               machine, with a Start-menu entry
# (cd <build> && cpack) makes both; the installer needs makensis (Debian: nsis).
# Included by src/win32/CMakeLists.txt once the programs exist.

# The program folder: the programs, the icon library and the language files
# side by side, as the program expects them; config.ini is written there on
# first run.
install(TARGETS Hushgate hushgate-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/src/icons/library/resources.dll DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/language/Language/ DESTINATION Language
        FILES_MATCHING PATTERN "*.lng")

set(CPACK_PACKAGE_NAME "Tavrin-Hushgate")
set(CPACK_PACKAGE_VENDOR "Tavrin Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Block Facebook on any web browser")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_SYSTEM_NAME "win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Tavrin Hushgate")
set(CPACK_PACKAGE_EXECUTABLES "Hushgate" "Tavrin Hushgate")
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/windows-package-names.cmake)

find_program(HUSHGATE_MAKENSIS NAMES makensis)
set(CPACK_GENERATOR "ZIP")
if(HUSHGATE_MAKENSIS)
    list(APPEND CPACK_GENERATOR "NSIS")
    set(CPACK_NSIS_EXECUTABLE "${HUSHGATE_MAKENSIS}")
endif()

# The installer: 64-bit Program Files, for every user (it asks for
# administrator rights, as the program itself does, and CPack's installer
# then puts the shortcuts and the uninstall entry in the all-users places),
# a Start-menu entry, and an uninstaller in the system's list of programs.
set(CPACK_NSIS_PACKAGE_NAME "Tavrin Hushgate")
set(CPACK_NSIS_DISPLAY_NAME "Tavrin Hushgate")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer, like the program (and Wine without 32-bit support runs it).
set(CPACK_NSIS_DEFINES "Target amd64-unicode\nRequestExecutionLevel admin")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/src/resources/pictures/AAA.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/src/resources/pictures/AAA.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Hushgate.exe")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "Hushgate.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT "${HUSHGATE_HOME_PAGE}")
# The programs lie in the folder's top, not in bin/.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")

include(CPack)
