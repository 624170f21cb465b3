#!/usr/bin/env bash
# The WebAssembly part of CI: installs Emscripten, Node, Chromium and its
# driver where they are missing, and axe-core for the page's accessibility
# check, builds the module and the page, and runs their tests, the comparison
# with the native program included.
#
#   tests/web/ci-steps.sh NATIVE_TARVELIN
set -euo pipefail
cd "$(dirname "$0")/../.."
native=$(realpath "${1:?usage: $0 NATIVE_TARVELIN}")

missing=()
for package in emscripten nodejs chromium chromium-driver python3-selenium; do
    dpkg-query -W -f '${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# From npm into the build folder, where the browser test looks for it; Node
# from Debian comes without npm.
if ! command -v npm >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends npm
fi
npm install --prefix build/axe --no-audit --no-fund --no-package-lock --silent axe-core@4.14.1

cmake --preset web -DTARVELIN_NATIVE_EXE="$native"
cmake --build --preset web -j2
ctest --preset web -j2
