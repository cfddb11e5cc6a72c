#!/bin/sh
# The Windows product: builds Tarnix.exe against the static Windows Qt and zips what a user
# unpacks. 64-bit (x86_64) is the download most users take: it comes with our own sensor
# library hwsensors.dll. 32-bit (i686) is for users of the vendor's sensor library, which is a
# 32-bit DLL; it carries the 32-bit hwsensors.dll too.
#   build-win64/Tarnix-<version>-win64.zip (and .msi), build-win32/Tarnix-<version>-win32.zip
# Builds the Qt first when its prefix is not complete (scripts/build-qt-windows.sh).
#
#   scripts/package-windows.sh [win64|win32|all] [BUILD_DIR]     (default: win64)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnix
target=${1:-win64}
say() { printf '[package-windows] %s\n' "$*"; }

case $target in
all)
    [ $# -le 1 ] || { say "all takes no build folder"; exit 2; }
    "$0" win64 && exec "$0" win32 ;;
win64) triple=x86_64-w64-mingw32 toolchain=mingw-w64-x86_64 qt=${TARNIX_QT_WIN64:-$cache/qt5-win64} ;;
win32) triple=i686-w64-mingw32 toolchain=mingw-w64-i686 qt=${TARNIX_QT_WIN32:-$cache/qt5-win32} ;;
*) say "usage: package-windows.sh [win64|win32|all] [BUILD_DIR]"; exit 2 ;;
esac
build=$(realpath -m "${2:-$root/build-$target}")

if [ ! -f "$qt/.tarnix-complete" ]; then
    if [ "$target" = win64 ]; then
        TARNIX_QT_WIN64=$qt "$root/scripts/build-qt-windows.sh" win64
    else
        TARNIX_QT_WIN32=$qt "$root/scripts/build-qt-windows.sh" win32
    fi
fi

start=$(date +%s)
say "configuring $build"
mkdir -p "$build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
say "building"
cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1 || { tail -n 60 "$build/build.log"; exit 1; }
if grep -q "warning:" "$build/build.log"; then
    grep "warning:" "$build/build.log"
    say "the $target build has warnings"
    exit 1
fi

# Nothing but system DLLs and the hidapi.dll that ships beside them; the sensor library and
# the tool need no DLL of ours at all.
check_imports() {
    allowed=$2
    imports=$($triple-objdump -p "$1" | sed -n 's/.*DLL Name: //p' | sort -u)
    foreign=$(echo "$imports" | grep -v -i -x -E "$allowed|kernel32\\.dll|user32\\.dll|gdi32\\.dll|shell32\\.dll|ole32\\.dll|oleaut32\\.dll|advapi32\\.dll|comdlg32\\.dll|winmm\\.dll|ws2_32\\.dll|imm32\\.dll|shlwapi\\.dll|uxtheme\\.dll|dwmapi\\.dll|version\\.dll|netapi32\\.dll|userenv\\.dll|wtsapi32\\.dll|msvcrt\\.dll|mpr\\.dll|setupapi\\.dll|cfgmgr32\\.dll|powrprof\\.dll|winspool\\.drv|comctl32\\.dll|crypt32\\.dll|bcrypt\\.dll|dwrite\\.dll|d3d9\\.dll|api-ms-win-.*" || true)
    if [ -n "$foreign" ]; then
        say "$(basename "$1") needs DLLs that are not shipped: $foreign"
        exit 1
    fi
}
check_imports "$build/Tarnix.exe" 'hidapi\.dll'
check_imports "$build/tarnix-sensors.exe" 'hidapi\.dll'
check_imports "$build/hwsensors.dll" 'none'
check_imports "$build/tarnix-http.dll" 'none'

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=Tarnix-$version-$target
stage=$build/zip/$name
rm -rf "$build/zip"
mkdir -p "$stage/licences"
cp "$build/Tarnix.exe" "$build/hidapi.dll" "$build/hwsensors.dll" "$build/tarnix-sensors.exe" \
    "$build/tarnix-http.dll" "$stage/"
[ ! -f "$root/LICENSE" ] || sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
cp -r "$root/configDir" "$stage/"
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"

qtsrc=$(ls -d "$cache"/src/qtbase-opensource-src-5.15.*/ | head -n 1)
hidapi=$(ls -d "$cache"/src/hidapi-0.*/ | head -n 1)
httplib=$(sed -n 's/^TARNIX_HTTPLIB_SOURCE:PATH=//p' "$build/CMakeCache.txt")
cp "$qtsrc/LICENSE.LGPLv3" "$stage/licences/Qt-LGPLv3.txt"
cp "$qtsrc/LICENSE.GPL2" "$stage/licences/Qt-GPL2.txt"
cat >"$stage/licences/Qt-NOTICE.txt" <<NOTICE
Tarnix.exe contains Qt $(basename "$qtsrc" | sed 's/qtbase-opensource-src-//; s/+dfsg//') (Core, Gui,
Widgets and the windows platform plugin), linked statically, used under the GNU Lesser General
Public License version 3 (Qt-LGPLv3.txt). The Qt source is Debian's qtbase-opensource-src
package; the Tarnix source and the build scripts that produced this executable are available
from its developers, so that you can relink it with a modified Qt.
NOTICE
cp "$hidapi/LICENSE-bsd.txt" "$stage/licences/hidapi-BSD.txt"
cp "$hidapi/LICENSE.txt" "$stage/licences/hidapi-LICENSE.txt"
sed 's/$/\r/' "$httplib/LICENSE" >"$stage/licences/cpp-httplib-MIT.txt"
cp "$root/images/LocalFont/OFL.txt" "$stage/licences/Montserrat-OFL.txt"
for lib in freetype/LICENSE.txt freetype/FTL.TXT harfbuzz-ng/COPYING libpng/LICENSE zlib/LICENSE \
    pcre2/LICENCE libjpeg/LICENSE double-conversion/LICENSE md4c/LICENSE.md; do
    [ -f "$qtsrc/src/3rdparty/$lib" ] || continue
    cp "$qtsrc/src/3rdparty/$lib" "$stage/licences/qt-3rdparty-$(dirname "$lib")-$(basename "$lib")"
done

zip=$build/$name.zip
rm -f "$zip"
(cd "$build/zip" && cmake -E tar cf "$zip" --format=zip "$name")
for f in Tarnix.exe hidapi.dll hwsensors.dll tarnix-sensors.exe tarnix-http.dll; do
    say "$f $(stat -c %s "$build/$f") bytes"
done
say "$zip: $(stat -c %s "$zip") bytes, built in $(($(date +%s) - start)) s"

# The 64-bit product also comes as an installer, where wixl is there to build it.
if [ "$target" = win64 ]; then
    if command -v wixl >/dev/null; then
        "$root/scripts/package-msi.sh" "$stage" "$build/$name.msi"
    else
        say "wixl is missing: no installer (scripts/install-deps.sh installs it)"
    fi
fi
