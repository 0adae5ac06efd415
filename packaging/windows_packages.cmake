# The Windows program ships two ways, each with the same files: a zip,
# pallimorvenquist-<version>-windows-<x64 or x86>.zip, to unpack anywhere,
# and an installer made by NSIS (package nsis), the same name ending in .exe:
#
#   pallimorvenquist.exe
#   engldict.txt          the default word list, beside the program
#   engldict.copyright    its copyright and licence
#   LICENSE
#   README.txt            the README, with Windows line ends
#
# In the zip they lie in one directory of the package's name. The installer
# puts them into Program Files\Pallimorvenquist (the 64-bit or the 32-bit
# Program Files, as the program is), with Uninstall.exe, which removes them
# all; it adds a Start-menu entry that starts the program in its folder, so
# that Return at the first question finds the list, and an entry under the
# installed apps. `/S` installs and uninstalls silently, `/D=FOLDER` (last
# on the command line) installs elsewhere.

# Windows text files: LF becomes CR LF.
function(windows_text source destination)
  file(READ ${source} text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
windows_text(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/README.txt)
windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt)

# Linked stripped, with no link time in its header: strip run by CPack
# would write the time of each run into each copy, and the zip's program
# and the installer's would differ.
target_link_options(pallimorvenquist PRIVATE -s LINKER:--no-insert-timestamp)
install(TARGETS pallimorvenquist RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/engldict.txt ${PROJECT_SOURCE_DIR}/engldict.copyright
              ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/README.txt
        DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(windows_architecture x64)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
  set(windows_architecture x86)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME pallimorvenquist)
set(CPACK_PACKAGE_VENDOR "Pallimorvenquist developers")
set(CPACK_PACKAGE_FILE_NAME pallimorvenquist-${PROJECT_VERSION}-windows-${windows_architecture})

# What the installer shows and what Windows lists under the installed apps
# (the version is the project's, the publisher the vendor above).
set(CPACK_NSIS_PACKAGE_NAME Pallimorvenquist)
set(CPACK_NSIS_DISPLAY_NAME "Pallimorvenquist ${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pallimorvenquist)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pallimorvenquist)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt)
set(CPACK_NSIS_INSTALLED_ICON_NAME pallimorvenquist.exe)
# A shortcut starts in the output folder current when it is made. The
# NSIS lines reach CPack exactly as written here, backslashes and quotes
# included.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "  SetOutPath \"$INSTDIR\"
  CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Pallimorvenquist.lnk\" \"$INSTDIR\\pallimorvenquist.exe\"")
# CPack's uninstaller removes the installer's key under the vendor's, and
# this removes the vendor's, once empty.
set(CPACK_NSIS_DELETE_ICONS_EXTRA "  Delete \"$SMPROGRAMS\\$MUI_TEMP\\Pallimorvenquist.lnk\"
  DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
# The installer stores no file times (the installed files get the time of
# installing), and its uninstaller deletes the files in byte order; CPack
# would list them in the order the file system gives.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "  SetDateSave off")
set(CPACK_NSIS_DELETE_FILES "")
foreach(file IN ITEMS LICENSE README.txt engldict.copyright engldict.txt pallimorvenquist.exe)
  string(APPEND CPACK_NSIS_DELETE_FILES "  Delete \"$INSTDIR\\${file}\"\n")
endforeach()
include(CPack)
