#!/bin/sh
# Cross-builds Tarnix for Debian 12 arm64 on an amd64 Debian 12 machine and makes
# tarnix_<version>_arm64.deb, checked with lintian. The arm64 libraries and headers come from
# Debian's own arm64 packages installed beside the native ones (multiarch; see
# scripts/install-deps.sh); Qt's code generators stay the native ones.
# Usage: scripts/build-arm64.sh [BUILD_DIR]   (default: build-arm64 in the source tree)
# The build has no tests of its own; the hidapi double and the scripted sensor library are
# built too, for running its programs under qemu (see docs/arm64.md).
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source/build-arm64}

sh "$source/scripts/install-deps.sh" --test

launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
# shellcheck disable=SC2086 # the launcher options are words of their own
cmake -S "$source" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/aarch64-linux-gnu.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNIX_BUILD_TESTS=OFF -DTARNIX_TEST_DOUBLES=ON \
    $launcher
cmake --build "$build" -j"$(nproc)"
bash "$source/tests/arm64/check-deb.sh" "$build"
