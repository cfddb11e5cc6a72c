#!/bin/sh
# What history, alerts and the record cost in the program as it runs all day: two copies of
# build/Tarnix with their windows hidden, the display connected through the hidapi double and
# the scripted sensors, side by side for the same stretch:
#   plain     the record off, no alert rule on (the ring of the last hour is always kept)
#   history   the record on (CSV files, flushed every 10 s) and two alert rules on
#   without   (when TARNIX_BENCH_BASELINE names a Tarnix built without the history) that one
# Each is measured the same way:
#   CPU      utime+stime from /proc/<pid>/stat over the stretch, as a share of one core
#   peak     VmHWM from /proc/<pid>/status at the end
#   wakes    voluntary context switches of the GUI thread and of the whole process, per second
#
#   bench/run-history-bench.sh [BUILD_DIR] [SECONDS] [WARMUP_SECONDS]
# Defaults: build, 60, 5. Needs Tarnix and the test build's scripted sensors and hidapi double.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
warmup=${3:-5}

require_built Tarnix tests/scripted-sensors/libhwsensors.so \
    tests/hidapi-double/libhidapi-hidraw.so.0

root=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-history-bench.XXXXXX")
pids=
cleanup() {
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null || true; done
    sleep 1
    for pid in $pids; do kill -KILL "$pid" 2>/dev/null || true; done
    release_qt_ipc "$root/plain" "$root/history" "$root/without"
    rm -rf "$root"
}
trap cleanup EXIT INT TERM

settings() { # DIR RECORD_ON
    mkdir -p "$1/config/MyCompanyKelmar"
    {
        printf '[Alerts]\nprogram=\n'
        printf 'rules\\1\\value=cpuTemperature\nrules\\1\\enabled=%s\n' "$2"
        printf 'rules\\1\\threshold=95\nrules\\1\\holdSeconds=5\nrules\\1\\margin=5\n'
        printf 'rules\\2\\value=cpuFan\nrules\\2\\enabled=%s\n' "$2"
        printf 'rules\\2\\threshold=200\nrules\\2\\holdSeconds=5\nrules\\2\\margin=100\n'
        printf 'rules\\size=2\n\n[Record]\nenabled=%s\nfolder=%s\nretentionDays=7\n' "$2" "$1/records"
    } >"$1/config/MyCompanyKelmar/Tarnix.conf"
}

start() { # DIR
    (
        export HOME="$1/home" XDG_CONFIG_HOME="$1/config" XDG_DATA_HOME="$1/data"
        export XDG_CACHE_HOME="$1/cache" TMPDIR="$1/tmp" QT_QPA_PLATFORM=offscreen
        unset XDG_CONFIG_DIRS XDG_DATA_DIRS
        # No desktop session: an alert would only be logged.
        unset DBUS_SESSION_BUS_ADDRESS
        TARNIX_SCRIPTED_SENSORS="$here/program/desktop.sensors" HIDAPI_DOUBLE_DIR="$1/hid" \
            LD_LIBRARY_PATH="$build/tests/hidapi-double" exec "$1/app/Tarnix" >/dev/null 2>&1
    ) &
    echo $!
}

for kind in plain history; do
    stage_tarnix "$root/$kind" "$build/tests/scripted-sensors/libhwsensors.so" 0 \
        "5131 2007 /dev/hidraw-$kind"
    settings "$root/$kind" "$([ $kind = history ] && echo true || echo false)"
done
plain=$(start "$root/plain")
history=$(start "$root/history")
pids="$plain $history"
without=
if [ -n "${TARNIX_BENCH_BASELINE:-}" ]; then
    stage_tarnix "$root/without" "$build/tests/scripted-sensors/libhwsensors.so" 0 \
        "5131 2007 /dev/hidraw-without"
    cp "$TARNIX_BENCH_BASELINE" "$root/without/app/Tarnix"
    without=$(start "$root/without")
    pids="$pids $without"
fi

ticks=$(getconf CLK_TCK)
cpuTicks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
statusValue() { awk -v k="$2:" '$1==k {print $2}' "$3"; }
mainWakes() { statusValue "$1" voluntary_ctxt_switches "/proc/$1/task/$1/status"; }
allWakes() { cat /proc/$1/task/*/status | awk '$1=="voluntary_ctxt_switches:" {n += $2} END {print n}'; }

sleep "$warmup"
for pid in $pids; do
    kill -0 "$pid" 2>/dev/null || { echo "a program ended during the warm-up" >&2; exit 1; }
    eval "t0_$pid=\$(cpuTicks $pid) m0_$pid=\$(mainWakes $pid) a0_$pid=\$(allWakes $pid)"
done
sleep "$seconds"
for pid in $pids; do
    eval "t1_$pid=\$(cpuTicks $pid) m1_$pid=\$(mainWakes $pid) a1_$pid=\$(allWakes $pid)"
done

per() { awk -v d="$1" -v s="$seconds" -v f="$2" 'BEGIN {printf "%.*f", f, d / s}'; }
row() { # name pid
    eval "t0=\$t0_$2 t1=\$t1_$2 m0=\$m0_$2 m1=\$m1_$2 a0=\$a0_$2 a1=\$a1_$2"
    printf '%-10s %10s %10s %14s %14s\n' "$1" \
        "$(awk -v d=$((t1 - t0)) -v per="$ticks" -v s="$seconds" 'BEGIN {printf "%.3f", d / per / s * 100}')" \
        "$(statusValue "$2" VmHWM "/proc/$2/status")" "$(per $((m1 - m0)) 2)" "$(per $((a1 - a0)) 2)"
}
echo "Measured ${seconds} s after a ${warmup} s warm-up, windows hidden, offscreen"
printf '%-10s %10s %10s %14s %14s\n' "" "CPU %" "VmHWM kB" "GUI wakes/s" "all wakes/s"
[ -n "$without" ] && row without "$without"
row plain "$plain"
row history "$history"
rows=$(cat "$root/history/records/"readings-*.csv 2>/dev/null | wc -l)
echo "Rows recorded by the history copy: $rows (a header per file)"
extra=$(( $(statusValue "$history" VmHWM "/proc/$history/status") - $(statusValue "$plain" VmHWM "/proc/$plain/status") ))
echo "Peak memory of history over plain: $extra kB (target at most 1024 kB)"
if [ -n "$without" ]; then
    extra=$(( $(statusValue "$history" VmHWM "/proc/$history/status") - $(statusValue "$without" VmHWM "/proc/$without/status") ))
    echo "Peak memory of history over without: $extra kB (target at most 1024 kB)"
fi
