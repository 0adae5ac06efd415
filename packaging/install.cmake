# Installing the program the way a Linux system expects it, and packing that
# install into a Debian package with CPack:
#
#   bin/pallimorvenquist
#   share/man/man1/pallimorvenquist.1.gz
#   share/pallimorvenquist/engldict.txt          the default word list
#   share/pallimorvenquist/engldict.copyright    its copyright and licence
#   share/doc/pallimorvenquist/copyright         the program's and the list's
#                                                licences, as Debian reads them
#   share/doc/pallimorvenquist/changelog.gz      in Debian's changelog format
#
# The program finds the installed word list from its own place, so these
# places must keep in step with dialogue/installed_list.cpp. Nothing here
# depends on the architecture: an arm64 package comes from the same rules.
#
# A Windows build makes a zip and an installer instead (windows_packages.cmake).
# Every package is reproducible (reproducible.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/reproducible.cmake)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_packages.cmake)
  return()
endif()

include(GNUInstallDirs)

set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)

# Gzipped copies, as Debian installs manual pages and changelogs; -n keeps
# names and times out, so the same text always gives the same bytes.
function(add_gzipped source name)
  add_custom_command(OUTPUT ${packaging_dir}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${packaging_dir}/${name}
    COMMAND gzip -9nf ${packaging_dir}/${name}
    DEPENDS ${source} VERBATIM)
endfunction()
add_gzipped(${PROJECT_SOURCE_DIR}/packaging/pallimorvenquist.1 pallimorvenquist.1)
add_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
add_custom_target(packaging_files ALL DEPENDS
  ${packaging_dir}/pallimorvenquist.1.gz ${packaging_dir}/changelog.gz)

# The text of `file` from its line that starts with `from` up to the next
# line of dashes or the end, as the lines of a field of a Debian copyright
# file: each line indented, empty ones a dot.
function(copyright_field_text file from variable)
  file(READ ${file} text)
  string(FIND "${text}" "\n${from}" start)
  math(EXPR start "${start} + 1")
  string(SUBSTRING "${text}" ${start} -1 text)
  string(REGEX REPLACE "\n-----+\n.*" "" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
  string(REPLACE "\n" "\n " text " ${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
copyright_field_text(${PROJECT_SOURCE_DIR}/LICENSE "Permission is hereby" program_licence)
copyright_field_text(${PROJECT_SOURCE_DIR}/engldict.copyright "This package was debianized"
                     scowl_licence)
copyright_field_text(${PROJECT_SOURCE_DIR}/engldict.copyright "This software and database"
                     wordnet_licence)
copyright_field_text(${PROJECT_SOURCE_DIR}/engldict.copyright "Redistribution and use"
                     sphinx_licence)
copyright_field_text(${PROJECT_SOURCE_DIR}/engldict.copyright "Permission to use, copy, modify, and/or"
                     isc_licence)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${packaging_dir}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/engldict.copyright)

install(TARGETS pallimorvenquist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The compiler's version notes in .comment have no use in an installed
# program; stripping leaves them.
if(CMAKE_OBJCOPY AND NOT WIN32)
  install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pallimorvenquist\")")
endif()
install(FILES ${packaging_dir}/pallimorvenquist.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/engldict.txt ${PROJECT_SOURCE_DIR}/engldict.copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pallimorvenquist)
install(FILES ${packaging_dir}/copyright ${packaging_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pallimorvenquist)
set(CPACK_PACKAGE_VENDOR "Pallimorvenquist developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console word finder for crosswords and other word puzzles")
set(CPACK_PACKAGE_DESCRIPTION
    "Lists, in the order of the word list, every entry that fits a pattern\n\
in which ? stands for one unknown character and * for any run of\n\
characters. Comes with a word list for crosswords of 1,004,066 words,\n\
names, abbreviations and phrases, written as a grid holds them, the\n\
commonest first.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pallimorvenquist developers <developers@pallimorvenquist.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS rlwrap)
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
