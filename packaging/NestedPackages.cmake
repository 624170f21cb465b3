# The packages whose programs are built otherwise than this tree's (fully
# static, or cross-built for another platform), each in a build tree of its
# own inside this one and packed by its own cpack into the same folder, with
# this build's time stamp (a Windows program's header holds one too). Target
# NestedPackages makes them all; one more package is one more AddNestedPackage
# call.
add_custom_target(NestedPackages)

# AddNestedPackage(NAME CONFIGURE_ARGS ... [ENVIRONMENT VAR=value ...]): the
# tree nested/NAME, configured with those arguments and built two jobs at a
# time, with those variables set.
function(AddNestedPackage name)
  cmake_parse_arguments(PARSE_ARGV 1 Nested "" "" "CONFIGURE_ARGS;ENVIRONMENT")
  set(tree ${CMAKE_BINARY_DIR}/nested/${name})
  set(environment SOURCE_DATE_EPOCH=${TarvelinSourceDateEpoch} ${Nested_ENVIRONMENT})
  add_custom_target(${name}Package
    COMMAND ${CMAKE_COMMAND} -E env ${environment}
            ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${tree} -G ${CMAKE_GENERATOR}
            -DTARVELIN_PACKAGE_DIR=${TARVELIN_PACKAGE_DIR} ${Nested_CONFIGURE_ARGS}
    COMMAND ${CMAKE_COMMAND} -E env ${environment}
            ${CMAKE_COMMAND} --build ${tree} --parallel 2
    COMMAND ${CMAKE_COMMAND} -E chdir ${tree} ${CMAKE_CPACK_COMMAND}
    COMMENT "Building and packing ${name} in ${tree}"
    USES_TERMINAL
    VERBATIM)
  add_dependencies(NestedPackages ${name}Package)
endfunction()

# The tarball: the Linux programs fully static, hardened as the .deb's, with
# this build's compiler.
AddNestedPackage(Linux CONFIGURE_ARGS
  -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
  -DCMAKE_BUILD_TYPE=Release
  -DTARVELIN_TESTS=OFF
  -DTARVELIN_FULLY_STATIC=ON
  -DTARVELIN_DEBIAN_FLAGS=ON)

AddNestedPackage(Windows CONFIGURE_ARGS
  --toolchain ${CMAKE_SOURCE_DIR}/cmake/MinGW32.cmake
  -DCMAKE_BUILD_TYPE=Release
  -DTARVELIN_TESTS=OFF)

# The page: Debian's Emscripten, whose optimizer needs Debian's Node modules.
AddNestedPackage(Web CONFIGURE_ARGS
  --toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
  -DCMAKE_BUILD_TYPE=Release
  -DTARVELIN_TESTS=OFF
  ENVIRONMENT NODE_PATH=/usr/share/nodejs)
