# The same source makes the same packages, byte for byte, whenever and
# wherever it is built: in any path, time zone, locale, umask, file system
# or host (tests/reproducible.sh checks it).
#
# - Every time in a package is SOURCE_DATE_EPOCH where it is set, when
#   configuring or packaging, as Debian's tools set it; otherwise the date
#   of packaging/changelog's newest entry, as dpkg-buildpackage takes it.
#   CPack writes it into the .deb and the zip (cpack_project.cmake sets it
#   for CPack); the installer stores no file times (windows_packages.cmake).
# - Directories are installed 755, whatever the umask.
# - cpack_post_build.cmake packs the .deb and the zip again, without what
#   CPack takes from the file system and the umask (their order, sizes on
#   disk and modes) and from the time zone.
# - Nothing the compiler writes names the source's path (-ffile-prefix-map,
#   in the top-level CMakeLists.txt).

# Seconds since 1970 at `date`, given as Debian's changelog gives it:
# "Tue, 08 Dec 2026 12:00:00 +0000".
function(rfc2822_epoch date variable)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  if(NOT date MATCHES "([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) ([-+])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "not a changelog date: ${date}")
  endif()
  set(day ${CMAKE_MATCH_1})
  list(FIND months ${CMAKE_MATCH_2} month)
  set(year ${CMAKE_MATCH_3})
  # Days from 1 March of year 0, leap days included (March first puts the
  # leap day last), less those to 1 January 1970.
  if(month LESS 2)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR from_march "(${month} + 10) % 12")
  math(EXPR days "${year} * 365 + ${year} / 4 - ${year} / 100 + ${year} / 400
                  + (153 * ${from_march} + 2) / 5 + ${day} - 1 - 719468")
  math(EXPR epoch "${days} * 86400 + ${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6}
                   - (${CMAKE_MATCH_7}1) * (${CMAKE_MATCH_8} * 3600 + ${CMAKE_MATCH_9} * 60)")
  set(${variable} ${epoch} PARENT_SCOPE)
endfunction()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(CPACK_PALLIMORVENQUIST_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
  rfc2822_epoch("${trailer}" CPACK_PALLIMORVENQUIST_SOURCE_DATE_EPOCH)
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_project.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack_post_build.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
