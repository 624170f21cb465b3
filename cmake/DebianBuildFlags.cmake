# With TARVELIN_DEBIAN_FLAGS, everything is compiled and linked with the
# hardening flags that Debian builds its packages with, as dpkg-buildflags
# gives them, and bindnow too: stack protector, _FORTIFY_SOURCE, format
# checks, RELRO with immediate binding (PIE is the compiler's default).
#
# Debian's -g and -O2 are left out: the build type decides those, so that the
# packaged programs are the code that the tests ran, only hardened. So is
# dpkg-buildflags' own -ffile-prefix-map, which names the folder it runs in
# as one word whatever blanks it holds; the source and build folders are
# mapped here instead, so that no path of the builder's reaches a program.
option(TARVELIN_DEBIAN_FLAGS "Compile and link with Debian's hardening flags (dpkg-buildflags)" OFF)
if(NOT TARVELIN_DEBIAN_FLAGS)
  return()
endif()

find_program(DpkgBuildflags dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env
            "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
            ${DpkgBuildflags} --get ${kind}
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g|O).*")
  set(Debian${kind} ${flags})
endforeach()
list(JOIN DebianCPPFLAGS " " shown)
list(JOIN DebianCXXFLAGS " " shownCXX)
list(JOIN DebianLDFLAGS " " shownLD)
message(STATUS "Debian's hardening flags: ${shown} ${shownCXX} ${shownLD}")
add_compile_options(${DebianCPPFLAGS} ${DebianCXXFLAGS}
                    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
add_link_options(${DebianLDFLAGS})
