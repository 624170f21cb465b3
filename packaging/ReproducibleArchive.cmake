# Run by cpack after it made a tarball or a zip: packs the staged tree again
# with its entries sorted by name, each with the build's one time stamp and
# owned by root. cpack takes the entries in the order the file system lists
# them, so its own archive differs between two builds of one commit on
# different file systems.
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|ZIP)$")
  return()
endif()
cmake_path(GET CPACK_TEMPORARY_DIRECTORY PARENT_PATH StagingParent)
cmake_path(GET CPACK_TEMPORARY_DIRECTORY FILENAME TopFolder)
list(GET CPACK_PACKAGE_FILES 0 Archive)
file(REMOVE ${Archive})

if(CPACK_GENERATOR STREQUAL "TGZ")
  execute_process(
    COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
            --mode=u+rwX,go+rX,go-w
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
