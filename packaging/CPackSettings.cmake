# The packages of this build tree: a Debian package on Linux (a tarball when
# the programs are fully static), a zip on Windows, a zip of the page from the
# WebAssembly build. They land in TARVELIN_PACKAGE_DIR, which the package
# preset points at build/packages.
set(TARVELIN_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages CACHE PATH "Where the packages are written")

set(CPACK_PACKAGE_NAME tarvelin)
set(CPACK_PACKAGE_VENDOR "The Tarvelin authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert a measurement microphone's calibration to a new reference")
# Lines kept short: Debian shows the description on 80-column terminals.
set(CPACK_PACKAGE_DESCRIPTION [[
A measurement microphone is calibrated against a reference microphone. When
the reference gets a new calibration, every calibration made against it has
to follow. tarvelin moves such a calibration file to the new reference: at
each frequency it adds the change of the reference, interpolated linearly
between the reference's points. Header lines and a phase column are carried
through, and numbers are read and written exactly, the same byte for byte on
every platform.

tarvelin-plot draws a conversion as an SVG picture. tarvelin-check reads the
files of a conversion as tarvelin does and tells what it would do with them:
numbers it cannot read, lines it drops, points it extrapolates.
tarvelin-export writes a calibration in the shape another program reads:
tab-separated, FRD or CSV, on a frequency grid if asked.
tarvelin-derive makes a calibration file for a second microphone from two
measurements of one loudspeaker and the calibrated microphone's file.]])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${TARVELIN_PACKAGE_DIR})
# Whatever the umask of whoever builds them, ReproduciblePackage.cmake gives
# every folder and file in a package the usual modes.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackPerGenerator.cmake.in
               ${CMAKE_CURRENT_BINARY_DIR}/CPackPerGenerator.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackPerGenerator.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproduciblePackage.cmake)

if(EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tarvelin-web-${PROJECT_VERSION})
elseif(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Tarvelin-${PROJECT_VERSION}-win32)
elseif(TARVELIN_FULLY_STATIC)
  # For any Linux of this processor, however old: nothing to depend on.
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME tarvelin-${PROJECT_VERSION}-Linux-${CMAKE_SYSTEM_PROCESSOR})
else()
  # The programs linked as Debian links its own: Depends is computed from
  # them by dpkg-shlibdeps, and names the oldest C and C++ libraries that
  # have every symbol they use.
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_NAME tarvelin)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TarvelinMaintainer})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
