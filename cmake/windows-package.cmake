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
# One uninstall entry whatever the version, so a new setup finds the old one.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Tavrin Hushgate")
# Values reach the installer script as written here.
set(CPACK_VERBATIM_VARIABLES ON)
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
set(CPACK_NSIS_DEFINES "Target amd64-unicode\nRequestExecutionLevel admin\n!include FileFunc.nsh")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/src/resources/pictures/AAA.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/src/resources/pictures/AAA.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Hushgate.exe")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "Hushgate.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT "${HUSHGATE_HOME_PAGE}")
# The programs lie in the folder's top, not in bin/.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")

# One shortcut, directly in the Start menu's Programs (Windows lists the
# uninstaller itself): CPack's installer script without its Start-menu
# folder, its uninstaller shortcut and the page that asks for the folder's
# name, from a folder CPack searches before its own. A setup that replaces
# an installed version runs its uninstaller with /UPGRADE, which keeps the
# block and config.ini.
set(hushgate_nsis_template ${CMAKE_BINARY_DIR}/nsis-template/NSIS.template.in)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in hushgate_template)
foreach(line IN ITEMS
        [[  CreateDirectory "$SMPROGRAMS\$STARTMENU_FOLDER"]]
        [[  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Uninstall.lnk" "$INSTDIR\@CPACK_NSIS_UNINSTALL_NAME@.exe"]]
        [[  !insertmacro MUI_PAGE_STARTMENU Application $STARTMENU_FOLDER]]
        [[  ExecWait '"$0" /S _?=$3' ;Do not copy the uninstaller to a temp file]])
    string(FIND "${hushgate_template}" "${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "CPack's NSIS.template.in has changed: no line '${line}'")
    endif()
    # The page stays (the Start-menu macros need it) but is never shown.
    set(replacement)
    if(line MATCHES "ExecWait")
        string(REPLACE " /S _?=" " /S /UPGRADE _?=" replacement "${line}\n")
    elseif(line MATCHES "MUI_PAGE_STARTMENU")
        string(CONCAT replacement "  !define MUI_PAGE_CUSTOMFUNCTION_PRE hushgateSkipPage\n${line}\n"
                                  "Function hushgateSkipPage\n  Abort\nFunctionEnd\n")
    endif()
    string(REPLACE "${line}\n" "${replacement}" hushgate_template "${hushgate_template}")
endforeach()
file(WRITE ${hushgate_nsis_template} "${hushgate_template}")
set(CPACK_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis-template ${CMAKE_MODULE_PATH})
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[  CreateShortCut "$SMPROGRAMS\Tavrin Hushgate.lnk" "$INSTDIR\Hushgate.exe"]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[  Delete "$SMPROGRAMS\Tavrin Hushgate.lnk"]])

# Windows' list of programs reads these as numbers (CPack writes strings)
# and shows the size.
set(hushgate_uninstall_key
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
string(CONCAT CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "  WriteRegDWORD SHCTX \"${hushgate_uninstall_key}\" \"NoModify\" 1\n"
    "  WriteRegDWORD SHCTX \"${hushgate_uninstall_key}\" \"NoRepair\" 1\n"
    "  \${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2\n"
    "  WriteRegDWORD SHCTX \"${hushgate_uninstall_key}\" \"EstimatedSize\" $0\n")
# Removing the program removes its block too (asked, Yes by default; a
# silent uninstall does; an upgrade does not): nobody could lift it
# afterwards without editing the hosts file by hand. config.ini, which the
# program wrote beside itself, goes with the other files, so no empty folder
# stays.
string(CONCAT CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "  \${GetParameters} $R0\n"
    "  ClearErrors\n"
    "  \${GetOptions} $R0 \"/UPGRADE\" $R1\n"
    "  IfErrors 0 hushgate_upgrade\n"
    "  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 "
    "\"Remove the Facebook block from the hosts file too?\" /SD IDYES IDNO hushgate_keep_block\n"
    "    nsExec::ExecToLog '\"$INSTDIR\\hushgate-cli.exe\" unblock'\n"
    "    Pop $0\n"
    "  hushgate_keep_block:\n"
    "  Delete \"$INSTDIR\\config.ini\"\n"
    "  hushgate_upgrade:\n")

include(CPack)
