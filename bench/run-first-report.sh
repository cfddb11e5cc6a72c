#!/bin/sh
# How long the display waits for its first report: build/Tarnix started RUNS times with its
# window hidden, the display connected through the hidapi double, and the time from the launch
# to the first line of the double's writes taken each time. Prints each figure and the median.
#
#   bench/run-first-report.sh [BUILD_DIR] [RUNS]
# Defaults: build, 5. Needs the tests built (the dev preset). TARNIX_BENCH_QPA picks the
# platform plugin (default offscreen).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}

require_built Tarnix tests/scripted-sensors/libhwsensors.so tests/hidapi-double/libhidapi-hidraw.so.0

stage=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-first.XXXXXX")
tarnix=
cleanup() {
    [ -n "$tarnix" ] && kill -TERM "$tarnix" 2>/dev/null || true
    release_qt_ipc "$stage"
    rm -rf "$stage"
}
trap cleanup EXIT INT TERM

figures=""
i=0
while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    rm -rf "$stage"/*
    stage_tarnix "$stage" "$build/tests/scripted-sensors/libhwsensors.so" 0 '5131 2007 /dev/hidraw-bench'
    started=$(date +%s%3N)
    HOME="$stage/home" XDG_CONFIG_HOME="$stage/config" XDG_DATA_HOME="$stage/data" \
        XDG_CACHE_HOME="$stage/cache" TMPDIR="$stage/tmp" QT_QPA_PLATFORM="${TARNIX_BENCH_QPA:-offscreen}" \
        TARNIX_SCRIPTED_SENSORS="$here/program/desktop.sensors" HIDAPI_DOUBLE_DIR="$stage/hid" \
        LD_LIBRARY_PATH="$build/tests/hidapi-double" "$stage/app/Tarnix" >/dev/null 2>&1 &
    tarnix=$!
    waited=0
    while [ ! -s "$stage/hid/writes" ] && [ "$waited" -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    [ -s "$stage/hid/writes" ] || { echo "run $i: no report within 10 s" >&2; exit 1; }
    first=$(($(head -n 1 "$stage/hid/writes" | cut -d' ' -f1) - started))
    echo "run $i: first report $first ms after the launch"
    figures="$figures $first"
    kill -TERM "$tarnix" 2>/dev/null || true
    wait "$tarnix" 2>/dev/null || true
    tarnix=
    release_qt_ipc "$stage"
done
echo "$figures" | tr ' ' '\n' | sed '/^$/d' | sort -n |
    awk '{ a[NR] = $1 } END { printf "median %d ms over %d runs\n", a[int((NR + 1) / 2)], NR }'
