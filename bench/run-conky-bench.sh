#!/bin/sh
# Tarnix beside conky, in one run on one X server: how light the program is all day.
#
# Under Xvfb (xcb platform plugin) it starts, at the same time:
#   - Tarnix with its window hidden, and a second Tarnix with its window shown (each staged in
#     its own folder, so the single-instance guard keeps them apart), both with the real
#     build/libhwsensors.so and the display connected through the hidapi double;
#   - bench/emptyWindow --hidden, an empty Qt Widgets program that never shows its window, the
#     floor of memory any hidden Qt program pays;
#   - conky (Debian package conky-std) showing CPU, RAM, disk, time and, where the machine has
#     one, an hwmon temperature, refreshed every second in its own window.
# After a warm-up it measures over SECONDS:
#   CPU       time on a CPU from /proc/<pid>/task/*/schedstat, as a share of one core, and the
#             ratio of each Tarnix to conky;
#   VmHWM     peak resident memory from /proc/<pid>/status;
#   wake-ups  voluntary context switches per second of every thread (a thread that blocks and
#             is woken again counts one), from /proc/<pid>/task/*/status; preemptions
#             (nonvoluntary switches) are listed apart, as they depend on the machine's load.
#
#   bench/run-conky-bench.sh [BUILD_DIR] [SECONDS] [WARMUP_SECONDS]
# Defaults: build, 60, 5. Needs a full build (Tarnix, libhwsensors.so, tests/). Installs
# nothing: it says what is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
warmup=${3:-5}

missing=
for tool in Xvfb conky python3 ipcrm; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -z "$missing" ] || {
    echo "missing:$missing (Debian packages xvfb, conky-std, python3, util-linux)" >&2
    exit 1
}
require_built Tarnix libhwsensors.so tests/hidapi-double/libhidapi-hidraw.so.0 bench/emptyWindow

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-conky.XXXXXX")
xvfb=
hidden=
shown=
empty=
conky=
cleanup() {
    for pid in $hidden $shown $empty $conky $xvfb; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    sleep 1
    for pid in $hidden $shown $empty $conky $xvfb; do
        kill -KILL "$pid" 2>/dev/null || true
    done
    release_qt_ipc "$work"/*
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# The X server picks a free display and writes its number to the pipe.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
display=$(head -n 1 "$work/display")
export DISPLAY=":$display"

stage() { # name showMainPageUI
    stage_tarnix "$work/$1" "$build/libhwsensors.so" "$2" '5131 2007 /dev/hidraw-bench'
}
launch() { # name
    dir="$work/$1"
    env -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data" \
        XDG_CACHE_HOME="$dir/cache" TMPDIR="$dir/tmp" QT_QPA_PLATFORM=xcb \
        HIDAPI_DOUBLE_DIR="$dir/hid" LD_LIBRARY_PATH="$build/tests/hidapi-double" \
        "$dir/app/Tarnix" >"$dir/stdout" 2>&1 &
}
stage hidden 0
stage shown 1
launch hidden
hidden=$!
launch shown
shown=$!
mkdir -p "$work/empty"
HOME="$work/empty" TMPDIR="$work/empty" QT_QPA_PLATFORM=xcb "$build/bench/emptyWindow" --hidden \
    >"$work/empty/stdout" 2>&1 &
empty=$!

hwmon=
for chip in /sys/class/hwmon/hwmon*; do
    [ -e "$chip/temp1_input" ] || continue
    hwmon="Temp \${hwmon $(basename "$chip" | sed 's/hwmon//') temp 1} C"
    break
done
cat >"$work/conky.conf" <<EOF
conky.config = {
    out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
    background = false, double_buffer = true, update_interval = 1.0, total_run_times = 0,
    use_xft = true, font = 'DejaVu Sans:size=10', minimum_width = 300, minimum_height = 120,
};
conky.text = [[
\${time %H:%M:%S}
CPU \${cpu cpu0}% \${cpubar cpu0 8,120}
RAM \$mem / \$memmax \${membar 8,120}
Disk \${fs_used /} / \${fs_size /} \${fs_bar 8,120 /}
$hwmon
]];
EOF
HOME="$work" conky -c "$work/conky.conf" >"$work/conky.out" 2>&1 &
conky=$!

# Time on a CPU in ns from the scheduler, summed over the threads.
cpuNs() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {printf "%d", n}'; }
statusValue() { awk -v k="$2:" '$1==k {print $2}' "/proc/$1/status"; }
# One line per thread: name, CPU ns, voluntary and nonvoluntary switches.
threads() { for t in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "$(tr ' ' '_' <"$t/comm")-$(basename "$t")" \
        "$(cut -d' ' -f1 "$t/schedstat")" \
        "$(awk '$1=="voluntary_ctxt_switches:" {print $2}' "$t/status")" \
        "$(awk '$1=="nonvoluntary_ctxt_switches:" {print $2}' "$t/status")"
done 2>/dev/null; }
frames() { [ -f "$work/$1/hid/writes" ] && wc -l <"$work/$1/hid/writes" || echo 0; }

sleep "$warmup"
for what in "hidden $hidden $work/hidden/stdout" "shown $shown $work/shown/stdout" \
    "empty $empty $work/empty/stdout" "conky $conky $work/conky.out"; do
    set -- $what
    kill -0 "$2" 2>/dev/null || { echo "$1 ended during the warm-up:" >&2; tail -n 5 "$3" >&2; exit 1; }
done
# Each program's own interval: snapshotting the others takes a noticeable part of a second on
# a loaded machine, and would otherwise count as measured time.
for pid in $hidden $shown $empty $conky; do
    eval "t0_$pid=\$(date +%s%N)"
    eval "ns0_$pid=\$(cpuNs $pid)"
    threads "$pid" >"$work/threads0.$pid"
done
framesHidden0=$(frames hidden)
framesShown0=$(frames shown)
sleep "$seconds"
for pid in $hidden $shown $empty $conky; do
    eval "t1_$pid=\$(date +%s%N)"
    eval "ns1_$pid=\$(cpuNs $pid)"
    threads "$pid" >"$work/threads1.$pid"
done
framesHidden1=$(frames hidden)
framesShown1=$(frames shown)

interval() { eval "echo \$(((t1_$1 - t0_$1) / 1000000))"; } # ms
share() { awk -v d="$1" -v ms="$2" 'BEGIN {printf "%.4f", d / 1e9 / (ms / 1000) * 100}'; }
eval "conkyShare=\$(share \$((ns1_$conky - ns0_$conky)) \$(interval $conky))"
row() { # name pid
    eval "n0=\$ns0_$2 n1=\$ns1_$2"
    s=$(share $((n1 - n0)) "$(interval "$2")")
    printf '%-16s %10s %8s %10s %8s\n' "$1" "$s" \
        "$(awk -v a="$s" -v b="$conkyShare" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')" \
        "$(statusValue "$2" VmHWM)" "$(statusValue "$2" Threads)"
}
perThread() { # pid
    awk -v s="$(interval "$1")" 'BEGIN {s /= 1000} NR == FNR {cpu[$1] = $2; vol[$1] = $3; inv[$1] = $4; next}
        {dv = $3 - vol[$1]; di = $4 - inv[$1]; tv += dv; ti += di
         printf "    %-26s %8.2f ms/s %6.2f wake-ups/s %6.2f preempted/s\n", $1,
             ($2 - cpu[$1]) / 1e6 / s, dv / s, di / s}
        END {printf "    %-26s %22s %6.2f wake-ups/s %6.2f preempted/s\n", "all threads", "",
             tv / s, ti / s}' "$work/threads0.$1" "$work/threads1.$1"
}

echo "Xvfb (xcb), measured ${seconds} s after a ${warmup} s warm-up (hidden: $(interval $hidden) ms); real libhwsensors.so"
printf '%-16s %10s %8s %10s %8s\n' "" "CPU %" "x conky" "VmHWM kB" threads
row "Tarnix hidden" $hidden
row "Tarnix shown" $shown
row "empty hidden" $empty
row "conky" $conky
echo "Frames sent: hidden $((framesHidden1 - framesHidden0)), shown $((framesShown1 - framesShown0))"
echo "Tarnix hidden, per thread:"
perThread $hidden
echo "Tarnix shown, per thread:"
perThread $shown
echo "conky, per thread:"
perThread $conky
awk -v h="$(share $((ns1_$hidden - ns0_$hidden)) "$(interval $hidden)")" \
    -v w="$(share $((ns1_$shown - ns0_$shown)) "$(interval $shown)")" \
    -v c="$conkyShare" -v m="$(statusValue $hidden VmHWM)" -v e="$(statusValue $empty VmHWM)" 'BEGIN {
        printf "Hidden VmHWM / empty hidden window: %.2f\n", m / e;
        printf "Hidden at most 0.3 x conky: %s\n", (h <= 0.3 * c ? "met" : "MISSED");
        printf "Shown at most 1.0 x conky: %s\n", (w <= 1.0 * c ? "met" : "MISSED");
        printf "Hidden VmHWM at most 1.15 x the empty hidden window: %s\n", (m <= 1.15 * e ? "met" : "MISSED");
    }'
awk -v s="$(interval $hidden)" 'BEGIN {s /= 1000} NR == FNR {vol[$1] = $3; next} {t += $3 - vol[$1]}
    END {printf "Hidden wake-ups over all threads: %.2f/s (one pass: the sensor thread, and the writer its report wakes); at most 2.2/s: %s\n", t / s, (t / s <= 2.2 ? "met" : "MISSED")}' \
    "$work/threads0.$hidden" "$work/threads1.$hidden"
