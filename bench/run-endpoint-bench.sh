#!/bin/sh
# What the HTTP endpoint costs Tarnix, measured on two hidden copies run side by side (window
# hidden, display connected through the hidapi double, the desktop fixture's sensors):
#   scrape  CPU time Tarnix spends per request: N requests of /metrics, then of
#           /readings.json, sent by one curl (keep-alive), Tarnix's utime+stime from
#           /proc/<pid>/stat and the scheduler's ns before and after, divided by N
#   hidden  CPU of the copy with the endpoint on and scraped once every 15 s, beside the
#           copy without it, over the same stretch, as a share of one core
#
#   bench/run-endpoint-bench.sh [BUILD_DIR] [SECONDS] [SCRAPES]
# Defaults: build, 120, 1000. Needs Tarnix, tests/ and curl.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/staging.sh"
build=$(cd "${1:-build}" && pwd)
seconds=${2:-120}
scrapes=${3:-1000}
require_built Tarnix libtarnix-http.so tests/scripted-sensors/libhwsensors.so \
    tests/hidapi-double/libhidapi-hidraw.so.0

stage=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-endpoint-bench.XXXXXX")
on=
off=
cleanup() {
    for pid in $on $off; do kill -TERM "$pid" 2>/dev/null || true; done
    sleep 1
    for pid in $on $off; do kill -KILL "$pid" 2>/dev/null || true; done
    release_qt_ipc "$stage/on" "$stage/off"
    rm -rf "$stage"
}
trap cleanup EXIT INT TERM

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# curl takes a bare host and port as plain HTTP.
url="127.0.0.1:$port"
for copy in on off; do
    stage_tarnix "$stage/$copy" "$build/tests/scripted-sensors/libhwsensors.so" 0 \
        '5131 2007 /dev/hidraw-bench'
done
cp "$build/libtarnix-http.so" "$stage/on/app/"
mkdir -p "$stage/on/config/MyCompanyKelmar"
printf '[Endpoint]\nListen=127.0.0.1:%s\n' "$port" >"$stage/on/config/MyCompanyKelmar/Tarnix.conf"

start_copy() { # DIR: replaces the calling (background) shell with the staged copy
    exec env -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS HOME="$1/home" XDG_CONFIG_HOME="$1/config" \
        XDG_DATA_HOME="$1/data" XDG_CACHE_HOME="$1/cache" TMPDIR="$1/tmp" \
        QT_QPA_PLATFORM=offscreen TARNIX_SCRIPTED_SENSORS="$here/program/desktop.sensors" \
        HIDAPI_DOUBLE_DIR="$1/hid" LD_LIBRARY_PATH="$build/tests/hidapi-double" \
        "$1/app/Tarnix" >/dev/null 2>&1
}
start_copy "$stage/on" &
on=$!
start_copy "$stage/off" &
off=$!

ticks=$(getconf CLK_TCK)
cpuTicks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
cpuNs() { cat /proc/$1/task/*/schedstat | awk '{n += $1} END {printf "%d", n}'; }
statusValue() { awk -v k="$2:" '$1==k {print $2}' "/proc/$1/status"; }

tries=0
until curl -sf -o /dev/null "$url/metrics"; do
    tries=$((tries + 1))
    [ "$tries" -lt 60 ] || { echo "the endpoint did not answer" >&2; exit 1; }
    sleep 0.5
done
sleep 3
[ "$(cat /proc/$on/comm)" = Tarnix ] || { echo "not measuring Tarnix" >&2; exit 1; }
echo "Metrics: $(curl -s "$url/metrics" | wc -c) bytes, JSON: $(curl -s "$url/readings.json" | wc -c) bytes"

scrape_cost() { # PATH
    config="$stage/curl.$2"
    : >"$config"
    i=0
    while [ "$i" -lt "$scrapes" ]; do
        printf 'url = "%s%s"\noutput = "/dev/null"\n' "$url" "$1" >>"$config"
        i=$((i + 1))
    done
    t0=$(cpuTicks $on) n0=$(cpuNs $on)
    curl -s -K "$config"
    t1=$(cpuTicks $on) n1=$(cpuNs $on)
    awk -v p="$1" -v n="$scrapes" -v t=$((t1 - t0)) -v k="$ticks" -v ns=$((n1 - n0)) 'BEGIN {
        printf "%-15s %5d requests: %7.1f us CPU each (stat %.1f us)\n", p, n, ns / n / 1000,
               t / k / n * 1e6 }'
}
scrape_cost /metrics metrics
scrape_cost /readings.json json

sleep 2
t0on=$(cpuTicks $on) n0on=$(cpuNs $on) t0off=$(cpuTicks $off) n0off=$(cpuNs $off)
elapsed=0
while [ "$elapsed" -lt "$seconds" ]; do
    curl -s -o /dev/null "$url/metrics"
    sleep 15
    elapsed=$((elapsed + 15))
done
t1on=$(cpuTicks $on) n1on=$(cpuNs $on) t1off=$(cpuTicks $off) n1off=$(cpuNs $off)
share() { awk -v d="$1" -v per="$2" -v s="$elapsed" 'BEGIN {printf "%.4f", d / per / s * 100}'; }
echo "Hidden, ${elapsed} s, % of one core (stat / sched), VmRSS kB, threads:"
printf '  endpoint on, scraped every 15 s: %s / %s  %s  %s\n' \
    "$(share $((t1on - t0on)) "$ticks")" "$(share $((n1on - n0on)) 1000000000)" \
    "$(statusValue $on VmRSS)" "$(statusValue $on Threads)"
printf '  endpoint off:                    %s / %s  %s  %s\n' \
    "$(share $((t1off - t0off)) "$ticks")" "$(share $((n1off - n0off)) 1000000000)" \
    "$(statusValue $off VmRSS)" "$(statusValue $off Threads)"
