#!/bin/sh
# Unplug and replug the display again and again under the real executable and check that the
# reports come back every time and that memory stays flat.
#
# build/Tarnix runs hidden with the scripted sensors and the hidapi double. One cycle: the
# display's line leaves the double's devices file (writes to it fail, and no removal event
# comes, as with a display that vanished unannounced); Tarnix must close it after a run of
# failed writes; the line comes back; Tarnix must find it again and reports must flow. Prints
# one line per cycle (seconds until closed and until reports resumed) and VmRSS at the start,
# every ten cycles and at the end.
#
#   bench/run-soak.sh [BUILD_DIR] [CYCLES]
# Defaults: build, 100 (about eight minutes). Exit status 1 when a cycle did not resume.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
cycles=${2:-100}
timeout=15

require_built Tarnix tests/scripted-sensors/libhwsensors.so tests/hidapi-double/libhidapi-hidraw.so.0

stage=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-soak.XXXXXX")
tarnix=
cleanup() {
    [ -z "$tarnix" ] || kill -TERM "$tarnix" 2>/dev/null || true
    sleep 1
    [ -z "$tarnix" ] || kill -KILL "$tarnix" 2>/dev/null || true
    release_qt_ipc "$stage"
    rm -rf "$stage"
}
trap cleanup EXIT INT TERM

displayLine='5131 2007 /dev/hidraw-soak'
stage_tarnix "$stage" "$build/tests/scripted-sensors/libhwsensors.so" 0 "$displayLine"

env -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS HOME="$stage/home" XDG_CONFIG_HOME="$stage/config" XDG_DATA_HOME="$stage/data" \
    XDG_CACHE_HOME="$stage/cache" TMPDIR="$stage/tmp" QT_QPA_PLATFORM=offscreen \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$stage/no-bus" \
    TARNIX_SCRIPTED_SENSORS="$here/program/desktop.sensors" HIDAPI_DOUBLE_DIR="$stage/hid" \
    LD_LIBRARY_PATH="$build/tests/hidapi-double" "$stage/app/Tarnix" >"$stage/stdout" 2>&1 &
tarnix=$!

count() { # event word
    [ -f "$stage/hid/events" ] && awk -v w="$1" '$2 == w' "$stage/hid/events" | wc -l || echo 0
}
frames() { [ -f "$stage/hid/writes" ] && wc -l <"$stage/hid/writes" || echo 0; }
rss() { awk '$1 == "VmRSS:" {print $2}' "/proc/$tarnix/status"; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN {printf "%.1f", b - a}'; }
# Waits until the command's output exceeds the value; false after the timeout.
waitAbove() { # value command...
    limit=$1
    shift
    end=$(($(date +%s) + timeout))
    while [ "$("$@")" -le "$limit" ]; do
        kill -0 "$tarnix" 2>/dev/null || { echo "Tarnix ended" >&2; return 1; }
        [ "$(date +%s)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

waitAbove 1 frames || { echo "no reports at start" >&2; exit 1; }
rssStart=$(rss)
echo "cycle  closed after s  resumed after s  VmRSS kB"
echo "start                                   $rssStart"
failed=0
cycle=1
while [ "$cycle" -le "$cycles" ]; do
    closes=$(count close)
    : >"$stage/hid/devices"
    unplugged=$(now)
    if ! waitAbove "$closes" count close; then
        echo "cycle $cycle: the vanished display was not closed within ${timeout} s" >&2
        failed=1
        break
    fi
    closedAfter=$(since "$unplugged")
    sent=$(frames)
    printf '%s\n' "$displayLine" >"$stage/hid/devices"
    replugged=$(now)
    if ! waitAbove "$sent" frames; then
        echo "cycle $cycle: no reports within ${timeout} s of the replug" >&2
        failed=1
        break
    fi
    line=$(printf '%5d  %14s  %15s' "$cycle" "$closedAfter" "$(since "$replugged")")
    if [ $((cycle % 10)) -eq 0 ]; then
        printf '%s  %8s\n' "$line" "$(rss)"
    else
        printf '%s\n' "$line"
    fi
    cycle=$((cycle + 1))
done
rssEnd=$(rss)
echo "VmRSS at start ${rssStart} kB, at end ${rssEnd} kB ($((rssEnd - rssStart)) kB)"
echo "open handles reported by the double: opens $(count open), closes $(count close)"
[ "$failed" -eq 0 ] && echo "all $cycles cycles resumed" || exit 1
