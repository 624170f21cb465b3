# How each program that reaches the packages is built, in one place:
#
#   TarvelinProgram(<target> DESCRIPTION "<what it does>")
#
# after add_executable(<target> ...). It puts the program on the list that the
# install rules and the man pages read (TarvelinPrograms, so one more program
# in every package is one more call), gives it the platform's entry, puts it
# at the top of the build tree, links it the way this build's packages want,
# and on Windows gives it a version resource.
#
# The link is the same for every program of a build, one of three:
# - the C++ and GCC runtimes linked in (TARVELIN_STATIC_RUNTIME, the default
#   for a build of one's own): relocating the shared C++ library is most of a
#   short run's time;
# - dynamic, as a distribution expects, so that the C and C++ libraries get
#   their security updates: the .deb (the package preset turns the runtimes
#   off);
# - fully static with TARVELIN_FULLY_STATIC, C library included, for the
#   tarball that runs on any x86-64 Linux however old its C library.
# The Windows programs are always static (cmake/MinGW32.cmake).
option(TARVELIN_STATIC_RUNTIME "Link the C++ and GCC runtimes into every program" ON)
option(TARVELIN_FULLY_STATIC
       "Link every program fully static, C library included, with no dynamic loader" OFF)

# Debian's hardening flags, for the packages: TARVELIN_DEBIAN_FLAGS.
include(${CMAKE_CURRENT_LIST_DIR}/DebianBuildFlags.cmake)

# The license's copyright line is the one place of the year and the holder.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TarvelinCopyright REGEX "^Copyright " LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

if(WIN32)
  find_program(TarvelinWindres NAMES ${CMAKE_RC_COMPILER} i686-w64-mingw32-windres windres REQUIRED)
endif()

# TarvelinCommandName(<target> <variable>): the name a shell user types,
# lower case with a hyphen between words (TarvelinPlot is tarvelin-plot).
function(TarvelinCommandName target variable)
  string(REGEX REPLACE "([a-z0-9])([A-Z])" "\\1-\\2" command ${target})
  string(TOLOWER ${command} command)
  set(${variable} ${command} PARENT_SCOPE)
endfunction()

function(TarvelinProgram target)
  cmake_parse_arguments(PARSE_ARGV 1 Program "" "DESCRIPTION" "")
  if(NOT Program_DESCRIPTION OR Program_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "TarvelinProgram(${target} DESCRIPTION \"...\") takes a description and nothing else")
  endif()
  set_property(GLOBAL APPEND PROPERTY TarvelinPrograms ${target})
  # The platform's entry calls the program's ProgramMain.
  target_link_libraries(${target} PRIVATE PlatformEntry)
  # Every program lands at the top of the build tree, where the README and
  # the tests point.
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

  if(TARVELIN_FULLY_STATIC)
    # Position-independent all the same, so that the program's addresses
    # are still random on every run.
    target_link_options(${target} PRIVATE -static-pie)
  elseif(TARVELIN_STATIC_RUNTIME AND NOT TARVELIN_SANITIZE AND NOT TARVELIN_FUZZ AND NOT WIN32
         AND NOT EMSCRIPTEN)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()

  if(WIN32)
    # What Windows shows in the program's properties. windres runs on its
    # own rather than as a language of the build: the compile options of
    # the C++ code are not its options. It runs in the folder of its files,
    # since it hands the file name to the preprocessor through a shell.
    string(REPLACE "\"" "\"\"" ResourceDescription "${Program_DESCRIPTION}")
    string(REPLACE "\"" "\"\"" ResourceCopyright "${TarvelinCopyright}")
    set(ResourceTarget ${target})
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VersionResource.rc.in ${target}Version.rc @ONLY)
    add_custom_command(
      OUTPUT ${target}Version.o
      COMMAND ${TarvelinWindres} --input ${target}Version.rc --input-format rc
              --output ${target}Version.o --output-format coff
      DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${target}Version.rc
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      COMMENT "Compiling the version resource of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}Version.o)
  endif()
endfunction()
