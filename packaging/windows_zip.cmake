# The Windows program ships as a zip, pallimorvenquist-<version>-windows-x64.zip,
# to unpack anywhere:
#
#   pallimorvenquist-<version>-windows-x64/
#     pallimorvenquist.exe
#     engldict.txt          the default word list, beside the program
#     engldict.copyright    its copyright and licence
#     LICENSE
#     README.txt            the README, with Windows line ends
set(readme_text ${PROJECT_BINARY_DIR}/README.txt)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${readme_text} "${readme}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)

install(TARGETS pallimorvenquist RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/engldict.txt ${PROJECT_SOURCE_DIR}/engldict.copyright
              ${PROJECT_SOURCE_DIR}/LICENSE ${readme_text}
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME pallimorvenquist)
set(CPACK_PACKAGE_VENDOR "Pallimorvenquist developers")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(windows_architecture x64)
else()
  set(windows_architecture x86)
endif()
set(CPACK_PACKAGE_FILE_NAME pallimorvenquist-${PROJECT_VERSION}-windows-${windows_architecture})
set(CPACK_STRIP_FILES ON)
include(CPack)
