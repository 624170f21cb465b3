#!/usr/bin/env bash
# The Windows part of CI: installs the cross compiler and wine where they are
# missing, cross-builds Tarvelin.exe, and runs every test of the Windows build
# under wine, the comparison with the native program included.
#
#   tests/crossbuild/ci-steps.sh NATIVE_TARVELIN
#
# Safe to run again: it installs nothing that is there, and the build and the
# wine prefix in build/windows are reused.
set -euo pipefail
cd "$(dirname "$0")/../.."
native=$(realpath "${1:?usage: $0 NATIVE_TARVELIN}")

packages=()
command -v i686-w64-mingw32-g++-posix >/dev/null || packages+=(g++-mingw-w64-i686)
dpkg-query -W -f '${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || packages+=(wine wine32:i386)
if ((${#packages[@]})); then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}"
fi

cmake --preset windows -DTARVELIN_NATIVE_EXE="$native"
cmake --build --preset windows -j2
status=0
ctest --preset windows -j2 || status=$?
# The wine server outlives the tests by a while; CI need not wait for it.
WINEPREFIX="$PWD/build/windows/wine-prefix" wineserver --kill 2>/dev/null || true
exit "$status"
