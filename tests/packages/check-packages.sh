#!/usr/bin/env bash
# Builds the release packages with the one command and proves each as its
# user would use it: the .deb installed with dpkg, its tarvelin run and its
# man page read, then removed; the tarball unpacked and run, here and in a
# Debian 11 userland; the zip unpacked and its Tarvelin.exe run under wine as
# its README.txt says; the page's zip unpacked and its page opened from the
# folder in Chromium. Each package's entries (mode, owner, name) are checked
# against expected/, the .deb's programs as Debian checks its own (hardening,
# the C library they need), and a second build from a copy of the sources in
# a path with a blank, under umask 077, another time zone and another locale,
# must give the same bytes.
#
#   tests/packages/check-packages.sh
#
# Runs as root (it installs and removes the package tarvelin, and makes the
# Debian 11 userland, kept in build/debian11 for the next run) and installs
# whatever it needs that is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
export DEBIAN_FRONTEND=noninteractive

Step() { printf -- '-- %s\n' "$*"; }
Fail() { printf 'FAILED: %s\n' "$*"; exit 1; }

packages=()
for package in lintian mandoc man-db dpkg-dev zip unzip file g++-mingw-w64-i686 \
               emscripten nodejs chromium chromium-driver python3-selenium devscripts \
               debootstrap locales tzdata; do
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

Step "Package files and their entries"
Expected() { sed "s/@VERSION@/$version/g" "tests/packages/expected/$1"; }
diff <(printf '%s\n' "$(basename "$deb")" "$(basename "$tarball")" "$(basename "$zip")" \
                     "$(basename "$webZip")" | LC_ALL=C sort) \
     <(ls build/packages | LC_ALL=C sort) || Fail "build/packages holds other files"
# Mode, owner (a zip has none) and name of each entry: sizes change with the
# code. Every folder is 0755 and every file 0644 or 0755, whatever the umask.
ZipEntries() { unzip -Z "$1" | awk '$1 ~ /^[-d]/ {print $1, $NF}'; }
diff <(Expected deb.txt) <(dpkg-deb -c "$deb" | awk '{print $1, $2, $6}') || Fail "files of $deb"
diff <(Expected tarball.txt) <(tar -tvzf "$tarball" | awk '{print $1, $2, $6}') || Fail "files of $tarball"
diff <(Expected zip.txt) <(ZipEntries "$zip") || Fail "files of $zip"
diff <(Expected web-zip.txt) <(ZipEntries "$webZip") || Fail "files of $webZip"
ls -l build/packages

Step "Package fields"
[[ $(dpkg-deb -f "$deb" Section) == sound ]] || Fail "Section is not sound"
dpkg-deb -f "$deb" Package Version Architecture Depends Section Installed-Size

# Ubuntu 22.04 LTS has glibc 2.35: IsAtMost235 VERSION.
IsAtMost235() { [[ $(printf '%s\n' "$1" 2.35 | sort -V | tail -n 1) == 2.35 ]]; }

Step "The .deb's programs: linked dynamically, hardened, glibc 2.35 or older"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
for program in "$work"/deb/usr/bin/*; do
    name=$(basename "$program")
    readelf -dW "$program" | grep -q 'NEEDED.*libstdc++' || Fail "$name is not linked to libstdc++"
    # Debian 12's C library has no control-flow protection in its start
    # files, so no program linked against it can have any.
    hardening-check --nocfprotection "$program" || Fail "hardening-check $name"
    glibc=$(objdump -T "$program" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n 1)
    echo "$name needs $glibc"
    IsAtMost235 "${glibc#GLIBC_}" || Fail "$name needs $glibc"
    [[ -f $work/deb/usr/share/man/man1/$name.1.gz ]] || Fail "$name has no man page"
done
libc=$(dpkg-deb -f "$deb" Depends | sed -n 's/.*libc6 (>= \([0-9.]*\)).*/\1/p')
[[ -n $libc ]] || Fail "Depends names no C library"
IsAtMost235 "$libc" || Fail "Depends asks for libc6 $libc"

Step "lintian --pedantic -I -E"
lintian --pedantic -I -E --fail-on error,warning "$deb" | tee "$work/lintian.txt" || Fail "lintian"
! grep -q hardening "$work/lintian.txt" || Fail "lintian finds hardening missing"

Step "mandoc -T lint -W warning"
for page in "$work"/deb/usr/share/man/man1/*.1.gz; do
    gzip -dc "$page" >"$work/page.1"
    lint=$(mandoc -T lint -W warning "$work/page.1" 2>&1) || true
    [[ -z $lint ]] || Fail "mandoc on $(basename "$page"): $lint"
done

# The one conversion every package must make, from the example files to the
# expected bytes: RunExample DIR COMMAND... runs in DIR, where COMMAND writes
# MyMicOut.txt.
RunExample() {
    local dir=$1
    shift
    local status=0
    (cd "$dir" && "$@" >stdout 2>stderr) || status=$?
    [[ $status -eq 0 ]] || Fail "$* exited with $status: $(cat "$dir/stdout" "$dir/stderr")"
    [[ $(tr -d '\r' <"$dir/stdout") == $'\nTarvelin' ]] || Fail "$* printed: $(cat "$dir/stdout")"
    cmp "$dir/MyMicOut.txt" examples/expected/MyMicOut.txt || Fail "$* converted wrongly"
}

Step "The .deb: dpkg -i, convert, man tarvelin, tarvelin-plot, tarvelin-repair, tarvelin-export, tarvelin-derive, dpkg -r"
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
(cd "$work/installed" && tarvelin-repair $examples/MyMicIn.txt Repaired.txt >/dev/null) ||
    Fail "tarvelin-repair"
cmp "$work/installed/Repaired.txt" $examples/MyMicIn.txt || Fail "tarvelin-repair changed the example"
(cd "$work/installed" && tarvelin-export --to frd $examples/MyMicIn.txt MyMicIn.frd >/dev/null) ||
    Fail "tarvelin-export"
grep -q '^8\.219 -10\.57 77\.9' "$work/installed/MyMicIn.frd" || Fail "tarvelin-export wrote otherwise"
(cd "$work/installed" && tarvelin-derive $examples/derive/RefMicCal.txt \
    $examples/derive/RefMicMeasured.txt $examples/derive/MyMicMeasured.txt MyMicCal.txt >/dev/null) ||
    Fail "tarvelin-derive"
cmp "$work/installed/MyMicCal.txt" $examples/derive/expected/MyMicCal.txt ||
    Fail "tarvelin-derive wrote otherwise"
dpkg -r tarvelin
hash -r
installed=
hash -r
! command -v tarvelin >/dev/null || Fail "tarvelin is still there after dpkg -r"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' | while read -r path; do
    [[ ! -e $path ]] || Fail "$path is still there after dpkg -r"
done

Step "The tarball: unpack, fully static programs, convert"
tar -xzf "$tarball" -C "$work"
top=$work/tarvelin-$version-Linux-x86_64
for program in "$top"/bin/*; do
    name=$(basename "$program")
    file -b "$program" | grep -Eq 'static-pie linked|statically linked' || Fail "$name: $(file -b "$program")"
    ! readelf -lW "$program" | grep -q 'INTERP' || Fail "$name needs a dynamic loader"
    ! readelf -dW "$program" | grep -q 'NEEDED' || Fail "$name needs a shared library"
done
RunExample "$top" bin/tarvelin share/doc/tarvelin/examples/RefMicFrom.txt \
    share/doc/tarvelin/examples/RefMicTo.txt share/doc/tarvelin/examples/MyMicIn.txt MyMicOut.txt
MANPAGER=cat man -l "$top/share/man/man1/tarvelin.1.gz" | grep -q 'DIAGNOSTICS' || Fail "tarball's man page"

Step "The tarball in a Debian 11 userland"
# Made once and kept: debootstrap takes half a minute.
root=$repo/build/debian11
if [[ ! -f $root/.complete ]]; then
    rm -rf "$root"
    mirror=$(awk '$1 == "URIs:" {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null) || true
    debootstrap --variant=minbase bullseye "$root" "${mirror:-http://deb.debian.org/debian}" \
        >"$work/debootstrap.log" 2>&1 || {
        tail -n 20 "$work/debootstrap.log"
        Fail "debootstrap bullseye"
    }
    touch "$root/.complete"
fi
echo "Debian $(cat "$root/etc/debian_version"), $(chroot "$root" ldd --version | head -n 1)"
rm -rf "$root/opt/tarvelin"
cp -r "$top" "$root/opt/tarvelin"
examples=share/doc/tarvelin/examples
RunExample "$root/opt/tarvelin" chroot "$root" /bin/sh -c "cd /opt/tarvelin && exec bin/tarvelin \
    $examples/RefMicFrom.txt $examples/RefMicTo.txt $examples/MyMicIn.txt MyMicOut.txt"
chroot "$root" /bin/sh -c "cd /opt/tarvelin && exec bin/tarvelin-plot $examples/RefMicFrom.txt \
    $examples/RefMicTo.txt $examples/MyMicIn.txt MyMicOut.txt Plot.svg" >/dev/null ||
    Fail "tarvelin-plot in Debian 11"
grep -q '</svg>' "$root/opt/tarvelin/Plot.svg" || Fail "tarvelin-plot drew nothing in Debian 11"
echo "there, bin/tarvelin converted the examples to the expected bytes and bin/tarvelin-plot drew them"
# The userland is old enough to tell: the .deb's program cannot run there.
cp "$work/deb/usr/bin/tarvelin" "$root/opt/tarvelin/deb-tarvelin"
if chroot "$root" /opt/tarvelin/deb-tarvelin >"$work/old.txt" 2>&1; then
    Fail "the .deb's tarvelin ran in Debian 11: the userland proves nothing"
fi
echo "(the .deb's tarvelin cannot run there: $(grep -o 'GLIBC_[0-9.]*' "$work/old.txt" | sort -uV | xargs) not found)"
rm -rf "$root/opt/tarvelin"

Step "The zip: texts for Notepad, version resources, convert under wine as README.txt says"
unzip -q "$zip" -d "$work"
top=$work/Tarvelin-$version-win32
for text in "$top"/*.txt; do
    [[ $(grep -c $'\r$' "$text") -eq $(wc -l <"$text") ]] || Fail "$text has lines without CR LF"
done
! LC_ALL=C grep -n '[^[:print:][:space:]]' "$top/README.txt" || Fail "README.txt is not plain ASCII"
! tr -d '\r' <"$top/README.txt" | awk 'length > 80 {print NR ": " $0; long = 1} END {exit !long}' ||
    Fail "README.txt has lines over 80 columns"
for exe in "$top"/*.exe; do
    name=$(basename "$exe")
    file -b "$exe" | grep -q 'PE32 executable (console) Intel 80386' || Fail "$name is no 32-bit console program"
    grep -q "^ *$name [[<]" "$top/README.txt" || Fail "README.txt does not show how to run $name"
    resource=$(i686-w64-mingw32-windres -i "$exe" -J coff -O rc) || Fail "$name has no resources"
    for value in "ProductName\", \"Tarvelin\"" "ProductVersion\", \"$version\"" \
                 "OriginalFilename\", \"$name\"" "LegalCopyright\", \"Copyright"; do
        grep -qF "VALUE \"$value" <<<"$resource" || Fail "$name's version resource lacks $value"
    done
    echo "$name: $(grep -o '"FileDescription", "[^"]*"' <<<"$resource"), version $version"
done
# The nested cross-build's wine wrapper: a prefix of its own, no noise.
wine=$repo/build/package/nested/Windows/WineRun.sh
RunExample "$top/examples" "$wine" ../Tarvelin.exe RefMicFrom.txt RefMicTo.txt MyMicIn.txt MyMicOut.txt
(cd "$top/examples" && "$wine" ../TarvelinPlot.exe RefMicFrom.txt RefMicTo.txt MyMicIn.txt \
    MyMicOut.txt Plot.svg >/dev/null) || Fail "TarvelinPlot.exe"
grep -q '</svg>' "$top/examples/Plot.svg" || Fail "TarvelinPlot.exe wrote no picture"
(cd "$top/examples" && "$wine" ../TarvelinRepair.exe MyMicIn.txt Repaired.txt >/dev/null) ||
    Fail "TarvelinRepair.exe"
cmp "$top/examples/Repaired.txt" "$top/examples/MyMicIn.txt" || Fail "TarvelinRepair.exe changed the example"
(cd "$top/examples" && "$wine" ../TarvelinExport.exe --to csv MyMicIn.txt MyMicIn.csv >/dev/null) ||
    Fail "TarvelinExport.exe"
grep -q '^8\.219,-10\.57,77\.9' "$top/examples/MyMicIn.csv" || Fail "TarvelinExport.exe wrote otherwise"
(cd "$top/examples/derive" && "$wine" ../../TarvelinDerive.exe RefMicCal.txt RefMicMeasured.txt \
    MyMicMeasured.txt MyMicCal.txt >/dev/null) || Fail "TarvelinDerive.exe"
cmp "$top/examples/derive/MyMicCal.txt" "$top/examples/derive/expected/MyMicCal.txt" ||
    Fail "TarvelinDerive.exe wrote otherwise"
WINEPREFIX="$repo/build/package/nested/Windows/wine-prefix" wineserver --kill 2>/dev/null || true

Step "The page's zip: its texts, index.html opened from the folder, the examples converted"
unzip -q "$webZip" -d "$work"
top=$work/tarvelin-web-$version
for text in "$top"/*.txt; do
    [[ $(grep -c $'\r$' "$text") -eq $(wc -l <"$text") ]] || Fail "$text has lines without CR LF"
done
grep -q '^index.html ' "$top/README.txt" && grep -q '^tarvelin.mjs ' "$top/README.txt" ||
    Fail "README.txt does not say what index.html and tarvelin.mjs are"
# Debian's Selenium is a module of Debian's Python. The batch's downloads are
# held against the tarball's own converter.
pageStatus=0
/usr/bin/python3 tests/web/page_test.py --page "$top/index.html" \
    --tarvelin "$work/tarvelin-$version-Linux-x86_64/bin/tarvelin" || pageStatus=$?
[[ $pageStatus -eq 0 ]] || Fail "the unpacked page (status $pageStatus)"

Step "A second build gives the same bytes: umask 077, TZ, locale, a path with a blank"
# The sources as a user with umask 077 would have them, in a path with a
# blank; the copy is no git clone, so the commit's time is given.
second="$work/second copy"
locale -a | grep -qx de_DE.utf8 || localedef -i de_DE -f UTF-8 de_DE.UTF-8
epoch=$(git log -1 --format=%ct)
(
    umask 077
    mkdir "$second"
    git ls-files -z --cached --others --exclude-standard |
        tar --create --null --files-from=- | tar --extract --no-same-permissions -C "$second"
    cd "$second"
    SOURCE_DATE_EPOCH=$epoch TZ=Pacific/Kiritimati LC_ALL=de_DE.UTF-8 cmake --workflow --preset package
) >"$work/second.log" 2>&1 || {
    cat "$work/second.log"
    Fail "the second build"
}
ls -l "$second/build/packages"
for package in "$deb" "$tarball" "$zip" "$webZip"; do
    cmp "$package" "$second/build/packages/$(basename "$package")" || Fail "$package differs between two builds"
    echo "$(basename "$package"): the same bytes under umask $(umask) and 0077"
done

echo "Every package built, installed and run as its user would."
echo "packages: 4 passed, 0 failed"
