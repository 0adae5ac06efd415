# Installing the program the way a Linux system expects it, and packing that
# install into a Debian package with CPack:
#
#   bin/pallimorvenquist
#   share/man/man1/pallimorvenquist.1
#   share/pallimorvenquist/engldict.txt         the default word list
#   share/pallimorvenquist/engldict.copyright   its copyright and licence
#
# The program still looks for engldict.txt in the current directory; the
# manual page tells users where the installed list lives.
#
# The same rules make the arm64 package of a cross build. A Windows build
# makes a zip instead (windows_zip.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_zip.cmake)
  return()
endif()

include(GNUInstallDirs)

install(TARGETS pallimorvenquist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/pallimorvenquist.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/engldict.txt ${PROJECT_SOURCE_DIR}/engldict.copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pallimorvenquist)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pallimorvenquist)
set(CPACK_PACKAGE_VENDOR "Pallimorvenquist developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console word finder for crosswords and other word puzzles")
set(CPACK_PACKAGE_DESCRIPTION
    "Lists, in the order of the word list, every entry that fits a pattern\n\
in which ? stands for one unknown character and * for any run of\n\
characters. Comes with an American English word list of 104,334 entries.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pallimorvenquist developers <developers@pallimorvenquist.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends is worked out from the libraries the executable links against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(CMAKE_CROSSCOMPILING)
  # dpkg-shlibdeps cannot read a foreign executable: Depends by hand, as
  # dpkg-shlibdeps gives them for amd64. The arm64 program needs the same
  # symbol versions (objdump -T: GLIBC_2.34 at most, GCC_3.0, CXXABI_1.3);
  # the package test checks the first.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 4.1.1)")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL aarch64)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  endif()
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
