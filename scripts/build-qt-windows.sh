#!/bin/sh
# Builds a static Qt 5.15 (Core, Gui, Widgets, the windows platform plugin and style) for
# mingw-w64 from Debian's own qtbase source package.
#
#   scripts/build-qt-windows.sh [win32|win64|all]     (default: all)
#
# Prefixes: TARNIX_QT_WIN32 (default ~/.cache/tarnix/qt5-win32, i686, what the zip ships) and
# TARNIX_QT_WIN64 (default ~/.cache/tarnix/qt5-win64, x86_64, what the wine checks run).
# A prefix that is already complete is left alone. Needs root (or sudo) once, to add a deb-src
# entry and install the cross compilers.
set -eu

cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnix
: "${TARNIX_QT_WIN32:=$cache/qt5-win32}"
: "${TARNIX_QT_WIN64:=$cache/qt5-win64}"
jobs=${TARNIX_QT_JOBS:-$(nproc)}
srcroot=$cache/src
what=${1:-all}

say() { printf '[build-qt-windows] %s\n' "$*"; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

complete() {
    [ -f "$1/.tarnix-complete" ] &&
        [ -f "$1/lib/cmake/Qt5Widgets/Qt5WidgetsConfig.cmake" ] &&
        [ -f "$1/plugins/platforms/libqwindows.a" ]
}

codename() {
    . /etc/os-release && echo "${VERSION_CODENAME:-bookworm}"
}

# The mirror the machine installs its binaries from: the first "deb" entry for this release,
# in the one-line format (sources.list, *.list) or the deb822 one (*.sources). Empty if none.
debian_mirror() {
    release=$(codename)
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk -v r="$release" '$1 == "deb" {
                i = 2; if ($2 ~ /^\[/) while (i <= NF && $i !~ /\]$/) i++
                if ($2 ~ /^\[/) i++
                if ($(i + 1) == r) { print $i; exit }
            }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        [ "$(basename "$f")" = tarnix-deb-src.sources ] && continue
        # Stanzas are separated by empty lines; a stanza's fields may come in any order.
        awk -v r="$release" 'BEGIN { RS = ""; FS = "\n" }
            { types = uris = suites = ""
              for (n = 1; n <= NF; n++) {
                  if ($n ~ /^Types:/) types = $n
                  if ($n ~ /^URIs:/) uris = $n
                  if ($n ~ /^Suites:/) suites = $n
              }
              if (types ~ /[ \t]deb([ \t]|$)/ && (suites " ") ~ ("[ \t]" r "[ \t]")) {
                  sub(/^URIs:[ \t]*/, "", uris); split(uris, u, /[ \t]+/); print u[1]; exit
              } }' "$f"
    done | head -n 1
}

# Prints the unpacked tree of a Debian source package, fetching it first. The deb-src entry
# names the mirror and suites the machine already uses for binaries.
source_tree() {
    package=$1 pattern=$2
    tree=$(ls -d "$srcroot"/$pattern/ 2>/dev/null | head -n 1 || true)
    if [ -z "$tree" ]; then
        if ! apt-get source --print-uris "$package" >/dev/null 2>&1; then
            say "adding a deb-src entry for the configured Debian mirror" >&2
            list=/etc/apt/sources.list.d/tarnix-deb-src.sources
            uri=$(debian_mirror)
            [ -n "$uri" ] || {
                echo "no Debian mirror for $(codename) in the apt configuration (/etc/apt/sources.list, /etc/apt/sources.list.d/): add one, or a deb-src entry, and run again" >&2
                exit 1
            }
            printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$uri" "$(codename)" "$(codename)" | as_root tee "$list" >/dev/null
            as_root apt-get update -qq >&2
        fi
        mkdir -p "$srcroot"
        say "fetching the $package source package" >&2
        (cd "$srcroot" && apt-get source -qq "$package") >&2
        tree=$(ls -d "$srcroot"/$pattern/ | head -n 1)
    fi
    echo "${tree%/}"
}

# Debian's qtbase source leaves out the tablet header (src/3rdparty/wintab) for its licence:
# the windows platform plugin is built without tablet input.
patch_without_wintab() {
    windows=$1/src/plugins/platforms/windows
    sed -i 's/^qtConfig(tabletevent) {/false { # no wintab header in this source/' "$windows/windows.pri"
    sed -i 's/QT_CONFIG(tabletevent)/0 \/\* no wintab header in this source \*\//' \
        "$windows/qwindowscontext.cpp" "$windows/qwindowspointerhandler.cpp"
}

ensure_compilers() {
    missing=""
    for p in dpkg-dev g++ make perl python3 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $p"
    done
    [ -z "$missing" ] && return
    say "installing:$missing"
    as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing
}

# The unsuffixed compiler names follow update-alternatives and may be the win32 thread model;
# a private bin folder pins them to the posix one.
toolchain_dir() {
    triple=$1
    dir=$cache/toolchain-$triple
    mkdir -p "$dir"
    for tool in gcc g++ c++ cpp; do
        target=/usr/bin/$triple-$tool-posix
        [ -e "$target" ] || target=/usr/bin/$triple-$tool
        ln -sf "$target" "$dir/$triple-$tool"
    done
    echo "$dir"
}

build_one() {
    name=$1 triple=$2 prefix=$3
    if complete "$prefix"; then
        say "$name: $prefix is complete, nothing to do"
        return
    fi
    ensure_compilers
    src=$(source_tree qtbase-opensource-src 'qtbase-opensource-src-5.15.*')
    [ -e "$src/src/3rdparty/wintab/wintab.h" ] || patch_without_wintab "$src"
    tools=$(toolchain_dir "$triple")
    build=$cache/build-qt-$name
    start=$(date +%s)
    # A build folder with a Makefile was configured before: an interrupted build goes on.
    if [ ! -f "$build/Makefile" ] || ! grep -qx -- "$prefix" "$build/config.opt" 2>/dev/null; then
        rm -rf "$build" "$prefix"
        mkdir -p "$build"
        say "$name: configuring in $build (prefix $prefix)"
        (
            cd "$build"
            PATH=$tools:$PATH "$src/configure" -prefix "$prefix" \
                -xplatform win32-g++ -device-option CROSS_COMPILE="$triple-" \
                -static -static-runtime -release -opensource -confirm-license \
                -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
                -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
                -no-feature-sql -no-feature-network -no-feature-xml -no-feature-testlib \
                -no-feature-concurrent -silent
        ) >"$build/configure.log" 2>&1 || {
            tail -n 40 "$build/configure.log"
            say "$name: configure failed (log: $build/configure.log)"
            exit 1
        }
    else
        say "$name: going on with the build in $build"
    fi
    say "$name: configured after $(($(date +%s) - start)) s; compiling with $jobs jobs"
    (cd "$build" && PATH=$tools:$PATH make -j"$jobs") >>"$build/make.log" 2>&1 &
    makepid=$!
    # One line a minute: how far the compiler got.
    while kill -0 "$makepid" 2>/dev/null; do
        sleep 60
        kill -0 "$makepid" 2>/dev/null || break
        say "$name: $(($(date +%s) - start)) s, $(grep -c -E '^(compiling|linking)' "$build/make.log") steps, last: $(grep -E '^(compiling|linking)' "$build/make.log" | tail -n 1)"
    done
    if ! wait "$makepid"; then
        tail -n 40 "$build/make.log"
        say "$name: build failed (log: $build/make.log)"
        exit 1
    fi
    (cd "$build" && PATH=$tools:$PATH make install) >"$build/install.log" 2>&1 || {
        tail -n 40 "$build/install.log"
        say "$name: install failed (log: $build/install.log)"
        exit 1
    }
    complete_stamp=$prefix/.tarnix-complete
    printf 'qtbase %s for %s, built in %s s\n' "$(basename "$src")" "$triple" \
        "$(($(date +%s) - start))" >"$complete_stamp"
    complete "$prefix" || {
        say "$name: $prefix lacks Qt5Widgets or the windows platform plugin"
        rm -f "$complete_stamp"
        exit 1
    }
    say "$name: done in $(($(date +%s) - start)) s"
    rm -rf "$build"
}

ensure_compilers
# Tarnix's Windows build compiles hidapi.dll from this tree.
hidapi=$(source_tree hidapi 'hidapi-0.*')
say "hidapi source: $hidapi"
# ...and tarnix-http.dll from this one's single header.
httplib=$(source_tree cpp-httplib 'cpp-httplib-0.*')
say "cpp-httplib source: $httplib"

case $what in
win64) build_one win64 x86_64-w64-mingw32 "$TARNIX_QT_WIN64" ;;
win32) build_one win32 i686-w64-mingw32 "$TARNIX_QT_WIN32" ;;
all)
    build_one win64 x86_64-w64-mingw32 "$TARNIX_QT_WIN64"
    build_one win32 i686-w64-mingw32 "$TARNIX_QT_WIN32"
    ;;
*)
    echo "usage: $0 [win32|win64|all]" >&2
    exit 2
    ;;
esac
