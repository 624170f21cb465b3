# Cross-builds the 32-bit Windows console program with MinGW-w64 and runs
# what it builds under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MinGWPrefix i686-w64-mingw32)
# The posix thread model: the tool runs one thread, but GoogleTest needs
# std::mutex, which this compiler has only in that model. Linked statically,
# its thread library adds no DLL.
find_program(CMAKE_CXX_COMPILER NAMES ${MinGWPrefix}-g++-posix REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${MinGWPrefix}-gcc-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MinGWPrefix}-windres)
find_program(CMAKE_OBJDUMP NAMES ${MinGWPrefix}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${MinGWPrefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic rounds every double and float operation exactly as on
# x86-64; the x87 unit would keep extended precision between them.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
# No DLL beyond those every Windows has: the C++ and GCC runtimes and the
# thread support are linked into the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GoogleTest built from its sources with this compiler.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/MinGW32Modules)

# Every program built here runs under wine, through a wrapper that gives it a
# wine prefix of its own inside this build tree.
set(WinePrefix ${CMAKE_BINARY_DIR}/wine-prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/WineRun.sh.in ${CMAKE_BINARY_DIR}/WineRun.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/WineRun.sh)
