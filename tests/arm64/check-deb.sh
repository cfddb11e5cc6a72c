#!/bin/bash
# Packages a cross build (build-arm64/, or the arm64 sub-build of the tests) and checks the
# .deb as an arm64 machine would take it: Architecture arm64, every program and library in it
# built for aarch64, the dependencies on the arm64 packages' own names and versions, and
# lintian without errors or warnings.
# Usage: check-deb.sh BUILD_DIR [OUT_DIR]; the package is left in OUT_DIR (default BUILD_DIR).
set -euo pipefail

build=$(cd "$1" && pwd)
out=${2:-$build}
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-arm64-deb.XXXXXX")
trap 'rm -rf --one-file-system "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/tarnix_*_arm64.deb 2>/dev/null) || fail "no tarnix_*_arm64.deb made"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || fail "Architecture is not arm64"
depends=$(dpkg-deb -f "$deb" Depends)
# What dpkg-shlibdeps found for arm64: the same runtime packages as on amd64, by plain name.
for needed in libc6 libqt5core5a libhidapi-hidraw0 libudev1; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# shellcheck disable=SC2001 # a pattern, not a fixed text
sed 's/([^)]*)//g' <<<"$depends" | grep -q ':' && fail "Depends names an architecture: $depends"

dpkg-deb -x "$deb" "$work/tree"
elves=0
while IFS= read -r -d '' path; do
    kind=$(file -b "$path")
    case "$kind" in
        ELF*ARM\ aarch64*) elves=$((elves + 1)) ;;
        ELF*) fail "${path#"$work/tree"} is not an aarch64 binary: $kind" ;;
    esac
done < <(find "$work/tree" -type f -print0)
[ "$elves" -ge 3 ] || fail "only $elves aarch64 binaries in the package"
echo "$elves aarch64 binaries"

lintian --fail-on error,warning --display-info "$deb" || fail "lintian reports errors or warnings"

mkdir -p "$out"
cp "$deb" "$out/"
echo "package: $out/$(basename "$deb")"
