# Everything dated in a package (the man pages' date, every file's time in an
# archive) comes from one moment, so that two builds of one commit give the
# same bytes: SOURCE_DATE_EPOCH when the caller sets it, else the commit's
# time. Outside a git clone, an unpacked source keeps its files' times, so the
# changelog's time serves as well.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TarvelinSourceDateEpoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(
    COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE TarvelinSourceDateEpoch
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE GitResult
    ERROR_QUIET)
  # A new commit configures the tree again, so that its time is the one used.
  execute_process(
    COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE GitHeadLog
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(GitHeadLog AND EXISTS ${GitHeadLog})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${GitHeadLog})
  endif()
  if(NOT GitResult EQUAL 0 OR NOT TarvelinSourceDateEpoch MATCHES "^[0-9]+$")
    file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CHANGELOG.md TarvelinSourceDateEpoch "%s" UTC)
  endif()
  # string(TIMESTAMP) reads it from the environment.
  set(ENV{SOURCE_DATE_EPOCH} ${TarvelinSourceDateEpoch})
endif()
if(NOT TarvelinSourceDateEpoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${TarvelinSourceDateEpoch}'")
endif()
