# Run by cpack after it made a package, so that two builds of one commit give
# the same bytes on any file system, under any umask, time zone and locale.
#
# Every folder in a package is 0755 and every file 0644, or 0755 when any
# execute bit is set: cpack and the build create what they stage with the
# builder's umask, and 077 would otherwise hide installed folders from all
# but root.
#
# The tarball and the zip are packed again from the staged tree, with the
# entries sorted by name, each with the build's one time stamp and owned by
# root: cpack takes the entries in the order the file system lists them.
#
# The .deb is built again by dpkg-deb with Installed-Size measured as dpkg
# does (each file's size in KiB rounded up, one for each folder): cpack adds
# the sizes the file system reports for folders, which differ between file
# systems (4 KiB each on ext4, less on tmpfs).
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|ZIP|DEB)$")
  return()
endif()
cmake_path(GET CPACK_TEMPORARY_DIRECTORY PARENT_PATH StagingParent)
cmake_path(GET CPACK_TEMPORARY_DIRECTORY FILENAME TopFolder)
list(GET CPACK_PACKAGE_FILES 0 Archive)

function(NormaliseModes tree)
  execute_process(COMMAND find ${tree} -type d -exec chmod 0755 {} + COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find ${tree} -type f -perm /111 -exec chmod 0755 {} +
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find ${tree} -type f ! -perm /111 -exec chmod 0644 {} +
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()

if(CPACK_GENERATOR STREQUAL "DEB")
  set(Tree ${StagingParent}/${TopFolder}.rebuilt)
  file(REMOVE_RECURSE ${Tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${Archive} ${Tree} COMMAND_ERROR_IS_FATAL ANY)
  set(InstalledKiB 0)
  file(GLOB_RECURSE Entries LIST_DIRECTORIES true RELATIVE ${Tree} ${Tree}/*)
  list(FILTER Entries EXCLUDE REGEX "^DEBIAN(/|$)")
  foreach(entry IN LISTS Entries)
    if(IS_DIRECTORY ${Tree}/${entry})
      math(EXPR InstalledKiB "${InstalledKiB} + 1")
    else()
      file(SIZE ${Tree}/${entry} bytes)
      math(EXPR InstalledKiB "${InstalledKiB} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()
  file(READ ${Tree}/DEBIAN/control Control)
  string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${InstalledKiB}\n"
         Control "${Control}")
  file(WRITE ${Tree}/DEBIAN/control "${Control}")
  NormaliseModes(${Tree})
  file(REMOVE ${Archive})
  # dpkg-deb takes its time stamps from SOURCE_DATE_EPOCH, which cpack has.
  execute_process(
    COMMAND dpkg-deb --root-owner-group -Zxz --build ${Tree} ${Archive}
    OUTPUT_QUIET
    COMMAND_ERROR_IS_FATAL ANY)
  return()
endif()

file(REMOVE ${Archive})
NormaliseModes(${CPACK_TEMPORARY_DIRECTORY})
if(CPACK_GENERATOR STREQUAL "TGZ")
  execute_process(
    COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
            --mtime=@${TarvelinSourceDateEpoch} --directory=${StagingParent} ${TopFolder}
    COMMAND gzip -9 -n
    OUTPUT_FILE ${Archive}
    COMMAND_ERROR_IS_FATAL ANY)
else()
  # A zip keeps each time as a local time: it is taken in UTC.
  file(GLOB_RECURSE Entries LIST_DIRECTORIES true RELATIVE ${StagingParent}
       ${CPACK_TEMPORARY_DIRECTORY}/*)
  list(APPEND Entries ${TopFolder})
  list(SORT Entries)
  list(JOIN Entries "\n" EntryList)
  file(WRITE ${StagingParent}/${TopFolder}.entries "${EntryList}\n")
  execute_process(
    COMMAND find ${TopFolder} -exec touch -h -d @${TarvelinSourceDateEpoch} {} +
    WORKING_DIRECTORY ${StagingParent}
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip --quiet -X -9 --names-stdin ${Archive}
    INPUT_FILE ${StagingParent}/${TopFolder}.entries
    WORKING_DIRECTORY ${StagingParent}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
# The package file itself is for everyone to read, like the .deb that
# dpkg-deb writes.
file(CHMOD ${Archive} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
