#!/bin/sh
# The whole program as it runs all day: build/Tarnix with its window hidden, the display
# connected through the hidapi double and ten sensors from the scripted sensor library, beside
# an empty Qt Widgets window on the same platform plugin, both measured the same way:
#   CPU   utime+stime from /proc/<pid>/stat over the measured stretch, as a share of one core
#   peak  VmHWM from /proc/<pid>/status at the end
#   threads, and for Tarnix the frames sent and the CPU time of each thread.
#
#   bench/run-program-bench.sh [BUILD_DIR] [SECONDS] [WARMUP_SECONDS]
# Defaults: build, 60, 5. Needs a full build (Tarnix, tests/, bench/emptyWindow).
# TARNIX_BENCH_QPA picks the platform plugin (default offscreen).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
warmup=${3:-5}
qpa=${TARNIX_BENCH_QPA:-offscreen}
targetPercent=0.3
memoryMarginPercent=15

require_built Tarnix tests/scripted-sensors/libhwsensors.so \
    tests/hidapi-double/libhidapi-hidraw.so.0 bench/emptyWindow

stage=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-bench.XXXXXX")
tarnix=
empty=
hiddenEmpty=
cleanup() {
    for pid in $tarnix $empty $hiddenEmpty; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    sleep 1
    for pid in $tarnix $empty $hiddenEmpty; do
        kill -KILL "$pid" 2>/dev/null || true
    done
    release_qt_ipc "$stage"
    rm -rf "$stage"
}
trap cleanup EXIT INT TERM

stage_tarnix "$stage" "$build/tests/scripted-sensors/libhwsensors.so" 0 '5131 2007 /dev/hidraw-bench'

export HOME="$stage/home" XDG_CONFIG_HOME="$stage/config" XDG_DATA_HOME="$stage/data"
export XDG_CACHE_HOME="$stage/cache" TMPDIR="$stage/tmp" QT_QPA_PLATFORM="$qpa"
unset XDG_CONFIG_DIRS XDG_DATA_DIRS

TARNIX_SCRIPTED_SENSORS="$here/program/desktop.sensors" HIDAPI_DOUBLE_DIR="$stage/hid" \
    LD_LIBRARY_PATH="$build/tests/hidapi-double" "$stage/app/Tarnix" >/dev/null 2>&1 &
tarnix=$!
"$build/bench/emptyWindow" >/dev/null 2>&1 &
empty=$!
"$build/bench/emptyWindow" --hidden >/dev/null 2>&1 &
hiddenEmpty=$!

ticks=$(getconf CLK_TCK)
# utime + stime in clock ticks; the command name may hold spaces, so cut after the last ')'.
cpuTicks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
# Time on a CPU in ns from the scheduler, summed over the threads: finer than the ticks.
cpuNs() { cat /proc/$1/task/*/schedstat | awk '{n += $1} END {printf "%d", n}'; }
threadNs() { for t in /proc/$1/task/*; do
    printf '%s %s\n' "$(tr ' ' '_' <"$t/comm")" "$(cut -d' ' -f1 "$t/schedstat")"
done; }
statusValue() { awk -v k="$2:" '$1==k {print $2}' "/proc/$1/status"; }
# Resident kB per mapping (file name, or [heap], [anon], [stack]).
residentByMapping() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / {name = $6; if (name == "") name = "[anon]"; sub(".*/", "", name)}
         /^Rss:/ {rss[name] += $2} END {for (n in rss) print n, rss[n]}' "/proc/$1/smaps"
}
frameCount() { [ -f "$stage/hid/writes" ] && wc -l <"$stage/hid/writes" || echo 0; }

sleep "$warmup"
for pid in $tarnix $empty $hiddenEmpty; do
    kill -0 "$pid" 2>/dev/null || { echo "a program ended during the warm-up" >&2; exit 1; }
done
for pid in $tarnix $empty $hiddenEmpty; do
    eval "ticks0_$pid=\$(cpuTicks $pid) ns0_$pid=\$(cpuNs $pid)"
done
framesStart=$(frameCount)
threadsStart=$(threadNs $tarnix)
sleep "$seconds"
for pid in $tarnix $empty $hiddenEmpty; do
    eval "ticks1_$pid=\$(cpuTicks $pid) ns1_$pid=\$(cpuNs $pid)"
done
framesEnd=$(frameCount)
threadsEnd=$(threadNs $tarnix)

share() { awk -v d="$1" -v per="$2" -v s="$seconds" 'BEGIN {printf "%.4f", d / per / s * 100}'; }
row() { # name pid
    eval "t0=\$ticks0_$2 t1=\$ticks1_$2 n0=\$ns0_$2 n1=\$ns1_$2"
    printf '%-20s %10s %10s %10s %10s %10s %8s\n' "$1" "$(share $((t1 - t0)) "$ticks")" \
        "$(share $((n1 - n0)) 1000000000)" "$(statusValue "$2" VmHWM)" \
        "$(statusValue "$2" VmRSS)" "$(statusValue "$2" RssAnon)" "$(statusValue "$2" Threads)"
}

echo "Platform plugin: $qpa; measured ${seconds} s after a ${warmup} s warm-up"
printf '%-20s %10s %10s %10s %10s %10s %8s\n' "" "CPU %stat" "CPU %sched" "VmHWM kB" \
    "VmRSS kB" "anon kB" threads
row "Tarnix (hidden)" $tarnix
row "empty window" $empty
row "empty window hidden" $hiddenEmpty
echo "Frames sent while measured: $((framesEnd - framesStart))"
echo "Tarnix CPU time per thread while measured (ms):"
printf '%s\n' "$threadsEnd" | while read -r name end; do
    begin=$(printf '%s\n' "$threadsStart" | awk -v n="$name" '$1==n {print $2; exit}')
    awk -v n="$name" -v d="$((end - ${begin:-0}))" 'BEGIN {printf "  %-18s %8.1f\n", n, d / 1e6}'
done
echo "Resident kB of Tarnix beyond the hidden empty window, largest first:"
residentByMapping $hiddenEmpty >"$stage/empty.rss"
residentByMapping $tarnix | awk 'NR == FNR {base[$1] = $2; next}
    {d = $2 - base[$1]; if (d >= 100) printf "  %6d  %s\n", d, $1}' "$stage/empty.rss" - |
    sort -rn | head -n 16
tarnixShare=$(share $((ticks1_$tarnix - ticks0_$tarnix)) "$ticks")
awk -v c="$tarnixShare" -v t="$targetPercent" -v a="$(statusValue $tarnix VmHWM)" \
    -v b="$(statusValue $empty VmHWM)" -v m="$memoryMarginPercent" 'BEGIN {
        printf "CPU below %s %% of one core: %s\n", t, (c < t ? "met" : "MISSED");
        extra = (a - b) / b * 100;
        printf "Peak memory %+.1f %% against the empty window (target within %s %%): %s\n",
            extra, m, (extra <= m ? "met" : "MISSED");
    }'
