#!/usr/bin/env bash
# Builds the release packages with the one command and proves each as its
# user would use it: the .deb installed with dpkg, its tarvelin run and its
# man page read, then removed; the tarball unpacked and run; the zip unpacked
# and its Tarvelin.exe run under wine; the page's zip unpacked and its page
# opened from the folder in Chromium. Each package's file list is checked
# against expected/, and a second build in another tree must give the same
# bytes.
#
#   tests/packages/check-packages.sh
#
# Runs as root (it installs and removes the package tarvelin) and installs
# whatever it needs that is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
export DEBIAN_FRONTEND=noninteractive

Step() { printf -- '-- %s\n' "$*"; }
Fail() { printf 'FAILED: %s\n' "$*"; exit 1; }

packages=()
for package in lintian mandoc man-db dpkg-dev zip unzip file g++-mingw-w64-i686 \
               emscripten nodejs chromium chromium-driver python3-selenium; do
    dpkg-query -W -f '${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        packages+=("$package")
done
dpkg-query -W -f '${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || packages+=(wine wine32:i386)
if ((${#packages[@]})); then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${packages[@]}"
fi

work=$(mktemp -d)
installed=
hash -r
CleanUp() {
    if [[ -n $installed ]]; then dpkg -r tarvelin >/dev/null || true; fi
    rm -rf "$work"
}
trap CleanUp EXIT

Step "Building the packages: cmake --workflow --preset package"
rm -rf build/packages
cmake --workflow --preset package >"$work/workflow.log" 2>&1 || {
    cat "$work/workflow.log"
    Fail "cmake --workflow --preset package"
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
deb=build/packages/tarvelin_${version}_amd64.deb
tarball=build/packages/tarvelin-${version}-Linux-x86_64.tar.gz
zip=build/packages/Tarvelin-${version}-win32.zip
webZip=build/packages/tarvelin-web-${version}.zip

Step "Package files and their lists"
Expected() { sed "s/@VERSION@/$version/g" "tests/packages/expected/$1"; }
diff <(printf '%s\n' "$(basename "$deb")" "$(basename "$tarball")" "$(basename "$zip")" \
                     "$(basename "$webZip")" | LC_ALL=C sort) \
     <(ls build/packages | LC_ALL=C sort) || Fail "build/packages holds other files"
# Mode, owner and name of each entry: sizes change with the code.
diff <(Expected deb.txt) <(dpkg-deb -c "$deb" | awk '{print $1, $2, $6}') || Fail "files of $deb"
diff <(Expected tarball.txt) <(tar -tvzf "$tarball" | awk '{print $1, $2, $6}') || Fail "files of $tarball"
diff <(Expected zip.txt) <(unzip -Z1 "$zip") || Fail "files of $zip"
diff <(Expected web-zip.txt) <(unzip -Z1 "$webZip") || Fail "files of $webZip"
ls -l build/packages

Step "Package fields"
[[ $(dpkg-deb -f "$deb" Section) == sound ]] || Fail "Section is not sound"
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || Fail "Depends names no C library"
dpkg-deb -f "$deb" Package Version Architecture Depends Section Installed-Size

Step "lintian"
lintian --fail-on error --display-level '>=warning' "$deb" || Fail "lintian reports errors"

Step "mandoc -T lint -W warning"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
for page in tarvelin tarvelin-plot; do
    gzip -dc "$work/deb/usr/share/man/man1/$page.1.gz" >"$work/$page.1"
    lint=$(mandoc -T lint -W warning "$work/$page.1" 2>&1) || true
    [[ -z $lint ]] || Fail "mandoc on $page(1): $lint"
done

# The one conversion every package must make, from the example files to the
# expected bytes: RunExample DIR COMMAND... runs in DIR, where COMMAND writes
# MyMicOut.txt.
RunExample() {
    local dir=$1
    shift
    local status=0
    (cd "$dir" && "$@" >stdout 2>stderr) || status=$?
    [[ $status -eq 0 ]] || Fail "$* exited with $status: $(cat "$dir/stdout")"
    [[ $(tr -d '\r' <"$dir/stdout") == $'\nTarvelin' ]] || Fail "$* printed: $(cat "$dir/stdout")"
    cmp "$dir/MyMicOut.txt" examples/expected/MyMicOut.txt || Fail "$* converted wrongly"
}

Step "The .deb: dpkg -i, convert, man tarvelin, tarvelin-plot, dpkg -r"
dpkg -i "$deb"
installed=yes
mkdir "$work/installed"
examples=/usr/share/doc/tarvelin/examples
RunExample "$work/installed" tarvelin $examples/RefMicFrom.txt $examples/RefMicTo.txt \
    $examples/MyMicIn.txt MyMicOut.txt
# Slim images tell dpkg to leave man pages out; the package's page is then
# read from the package itself.
manPage=/usr/share/man/man1/tarvelin.1.gz
if [[ -f $manPage ]]; then
    MANPAGER=cat MANWIDTH=80 man tarvelin >"$work/man.txt"
else
    grep -rsl 'path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/ ||
        Fail "$manPage was not installed"
    echo "dpkg leaves out /usr/share/man here: reading the page from the package"
    MANPAGER=cat MANWIDTH=80 man -l "$work/deb$manPage" >"$work/man.txt"
fi
grep -q 'tarvelin RefMicFrom RefMicTo MyMicIn MyMicOut' "$work/man.txt" || Fail "man tarvelin"
grep -q "Tarvelin $version" "$work/man.txt" || Fail "man tarvelin names no version $version"
(cd "$work/installed" && tarvelin-plot $examples/RefMicFrom.txt $examples/RefMicTo.txt \
    $examples/MyMicIn.txt MyMicOut.txt Plot.svg >/dev/null) || Fail "tarvelin-plot"
grep -q '</svg>' "$work/installed/Plot.svg" || Fail "tarvelin-plot wrote no picture"
dpkg -r tarvelin
hash -r
installed=
hash -r
! command -v tarvelin >/dev/null || Fail "tarvelin is still there after dpkg -r"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' | while read -r path; do
    [[ ! -e $path ]] || Fail "$path is still there after dpkg -r"
done

Step "The tarball: unpack, convert"
tar -xzf "$tarball" -C "$work"
top=$work/tarvelin-$version-Linux-x86_64
RunExample "$top" bin/tarvelin share/doc/tarvelin/examples/RefMicFrom.txt \
    share/doc/tarvelin/examples/RefMicTo.txt share/doc/tarvelin/examples/MyMicIn.txt MyMicOut.txt
MANPAGER=cat man -l "$top/share/man/man1/tarvelin.1.gz" | grep -q 'DIAGNOSTICS' || Fail "tarball's man page"

Step "The zip: unpack, convert under wine as HOW-TO-RUN.txt says"
unzip -q "$zip" -d "$work"
top=$work/Tarvelin-$version-win32
for text in README.txt LICENSE.txt HOW-TO-RUN.txt; do
    [[ $(grep -c $'\r$' "$top/$text") -eq $(wc -l <"$top/$text") ]] || Fail "$text has lines without CR LF"
done
file "$top/Tarvelin.exe" | grep -q 'PE32 executable (console) Intel 80386' || Fail "Tarvelin.exe is no 32-bit console program"
# The nested cross-build's wine wrapper: a prefix of its own, no noise.
wine=$repo/build/package/nested/Windows/WineRun.sh
RunExample "$top" "$wine" Tarvelin.exe 'examples\RefMicFrom.txt' 'examples\RefMicTo.txt' \
    'examples\MyMicIn.txt' MyMicOut.txt
(cd "$top" && "$wine" TarvelinPlot.exe 'examples\RefMicFrom.txt' 'examples\RefMicTo.txt' \
    'examples\MyMicIn.txt' MyMicOut.txt Plot.svg >/dev/null) || Fail "TarvelinPlot.exe"
grep -q '</svg>' "$top/Plot.svg" || Fail "TarvelinPlot.exe wrote no picture"
WINEPREFIX="$repo/build/package/nested/Windows/wine-prefix" wineserver --kill 2>/dev/null || true

Step "The page's zip: unpack, open index.html from the folder, convert the examples"
unzip -q "$webZip" -d "$work"
top=$work/tarvelin-web-$version
# Debian's Selenium is a module of Debian's Python.
pageStatus=0
/usr/bin/python3 tests/web/page_test.py --page "$top/index.html" || pageStatus=$?
[[ $pageStatus -eq 0 ]] || Fail "the unpacked page (status $pageStatus)"

Step "A second build in another tree gives the same bytes"
again=build/package-again
rm -rf "$again"
{
    cmake -S . -B "$again" -DCMAKE_BUILD_TYPE=Release -DTARVELIN_TESTS=OFF \
        -DTARVELIN_OTHER_PACKAGES=ON "-DTARVELIN_PACKAGE_DIR=$PWD/$again/packages" &&
        cmake --build "$again" -j2 && cmake --build "$again" --target NestedPackages &&
        (cd "$again" && cpack)
} >"$work/again.log" 2>&1 || {
    cat "$work/again.log"
    Fail "the second build"
}
for package in "$deb" "$tarball" "$zip" "$webZip"; do
    cmp "$package" "$again/packages/$(basename "$package")" || Fail "$package differs between two builds"
done

echo "Every package built, installed and run as its user would."
echo "packages: 4 passed, 0 failed"
