# Run by CPack once it has made each package (CPACK_POST_BUILD_SCRIPTS), to
# take out what would still differ from one build to the next:
# - CPack's .deb has an Installed-Size that counts each directory's size on
#   the file system it was staged on, and its ar members have the modes
#   that the umask gave their files. It is packed again by dpkg-deb, as
#   Debian builds a package: the same files, times and modes, owned by
#   root, the members 644, and Installed-Size counted as dpkg-gencontrol
#   counts it (each file's size in KiB, rounded up; 1 for each directory).
# - CPack lists the zip's files in the order in which the file system lists
#   the staged directory, which differs from one file system to another,
#   and the zip format keeps times in local time: the zip is made again,
#   its files in byte order, its times in UTC.
# Both take their times from SOURCE_DATE_EPOCH (packaging/cpack_project.cmake).

if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(dpkg_deb dpkg-deb)
  if(NOT dpkg_deb)
    message(WARNING "dpkg-deb not found: ${CPACK_PACKAGE_FILES} is as CPack made it, its "
                    "Installed-Size and some modes depending on the file system and the umask")
    return()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/dpkg-deb)
  foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(REMOVE_RECURSE ${tree})
    file(MAKE_DIRECTORY ${tree}/DEBIAN)
    file(CHMOD ${tree} ${tree}/DEBIAN DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(GLOB control_tar ${CPACK_TEMPORARY_DIRECTORY}/control.tar.*)
    file(GLOB data_tar ${CPACK_TEMPORARY_DIRECTORY}/data.tar.*)
    execute_process(COMMAND tar -x -p -f ${control_tar} -C ${tree}/DEBIAN RESULT_VARIABLE control_status)
    execute_process(COMMAND tar -x -p -f ${data_tar} -C ${tree} RESULT_VARIABLE data_status)
    if(NOT control_status EQUAL 0 OR NOT data_status EQUAL 0)
      message(FATAL_ERROR "could not unpack ${package}")
    endif()

    set(kib 1)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    list(FILTER entries EXCLUDE REGEX "^DEBIAN(/|$)")
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${tree}/${entry})
        math(EXPR kib "${kib} + 1")
      else()
        file(SIZE ${tree}/${entry} size)
        math(EXPR kib "${kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")

    execute_process(COMMAND ${dpkg_deb} --root-owner-group -Zgzip --build ${tree} ${package}
                    OUTPUT_QUIET RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-deb could not pack ${package} again")
    endif()
  endforeach()
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${CPACK_TOPLEVEL_DIRECTORY}
       ${CPACK_TEMPORARY_DIRECTORY}/*)
  list(SORT files)
  list(JOIN files "\n" lines)
  file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/zip-files.txt "${lines}\n")
  foreach(package IN LISTS CPACK_PACKAGE_FILES)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0
              ${CMAKE_COMMAND} -E tar cf ${package} --format=zip --files-from=zip-files.txt
      WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY}
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "could not make ${package} again")
    endif()
  endforeach()
endif()
