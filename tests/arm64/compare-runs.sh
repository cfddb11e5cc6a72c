#!/bin/bash
# Runs the arm64 build's programs under qemu-user and compares what they produce with the
# native build's programs on the same input:
#   1. tarnix-sensors (plain and --sources) and tarnix-inventory on every recorded machine in
#      tests/sensors/fixtures: standard output, standard error and exit code;
#   2. the feeding program ($TARNIX_ARM64_FEEDER, tarnixd by default) with the
#      scripted sensor library and the hidapi double of its own build: the first reports it
#      writes, byte for byte except the drive usage (byte 21, the machine's own disk) and the
#      date and time (bytes 24-29) with the checksum over them (byte 30), which each copy must
#      get right by itself; and its exit code after SIGTERM.
# Usage: compare-runs.sh NATIVE_BUILD ARM64_BUILD SOURCE_DIR. KEEP=1 keeps the work folder.
# shellcheck disable=SC2030,SC2031 # each run's variables belong to its subshell
set -euo pipefail

native=$(cd "$1" && pwd)
arm64=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
feeder=${TARNIX_ARM64_FEEDER:-tarnixd}
frames_wanted=${TARNIX_ARM64_FRAMES:-3}
qemu=$(command -v qemu-aarch64-static || command -v qemu-aarch64) ||
    { echo "FAIL: no qemu-aarch64-static"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-arm64.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    [ "${KEEP:-0}" = 1 ] || rm -rf --one-file-system "$work"
}
trap cleanup EXIT
failures=0
step() { printf '== %s (%ds)\n' "$1" "$SECONDS"; }
mismatch() { echo "MISMATCH: $*"; failures=$((failures + 1)); }

# run ARCH PROGRAM ARGS...: becomes a program of either build, in a subshell; arm64 ones
# under qemu with the machine's arm64 multiarch libraries (-L /: the loader and the libraries
# at their usual paths).
run() {
    local arch=$1
    shift
    if [ "$arch" = arm64 ]; then exec "$qemu" -L / "$@"; else exec "$@"; fi
}
build_of() { if [ "$1" = arm64 ]; then echo "$arm64"; else echo "$native"; fi; }

# Each run gets its own home, settings and temporary folder, so no run sees another's
# choices, nor the other copy's single-instance key (made from the temporary folder's path).
isolate() {
    mkdir -p "$1"/{home,config,data,cache,tmp}
    mkdir -p "$1/runtime" && chmod 700 "$1/runtime"
    # Each copy feeds a display of its own: its own feeder lock too.
    export HOME=$1/home XDG_CONFIG_HOME=$1/config XDG_DATA_HOME=$1/data \
        XDG_CACHE_HOME=$1/cache XDG_RUNTIME_DIR=$1/runtime TMPDIR=$1/tmp TARNIX_LOCK_DIR=$1/tmp
}

step "the tools on the recorded machines"
for fixture in "$source"/tests/sensors/fixtures/*/; do
    machine=$(basename "$fixture")
    for command in "tarnix-sensors" "tarnix-sensors --sources" "tarnix-inventory"; do
        base="$work/tools/$machine/${command// /_}"
        for arch in native arm64; do
            out="$base/$arch"
            mkdir -p "$out"
            # shellcheck disable=SC2086 # the program and its arguments are words
            (isolate "$out/env" && export HWSENSORS_ROOT="$fixture" &&
                run "$arch" "$(build_of $arch)/"$command) \
                >"$out/stdout" 2>"$out/stderr" && echo 0 >"$out/status" || echo $? >"$out/status"
            # The library's path names the build folder.
            sed -i "s|$(build_of $arch)/|BUILD/|g" "$out/stdout" "$out/stderr"
        done
        for part in stdout stderr status; do
            if ! cmp -s "$base/native/$part" "$base/arm64/$part"; then
                mismatch "$command on $machine: $part differs"
                diff "$base/native/$part" "$base/arm64/$part" | head -20 || true
            fi
        done
        [ -s "$base/native/stdout" ] || mismatch "$command on $machine printed nothing"
        echo "$command on $machine: $(wc -l <"$base/native/stdout") lines," \
            "exit $(cat "$base/native/status")"
    done
done

# Values that test the conversions at their edges: fractions, a reading above a field's
# range, negative ones, missing ones (nan) and one beyond the 32-bit range.
script="sensor CPU [#0]: Test CPU
temperature 0 45.9 CPU Package
usage 0 37.6 Total CPU Usage
clock 0 70000.6 Core 0 Clock
fan 0 nan CPU Fan
power 0 65.4 CPU Package Power
sensor GPU [#0]: Test GPU
temperature 0 -12.7 GPU Temperature
usage 0 88.8 GPU Core Load
clock 0 1875.5 GPU Clock
fan 0 -1650 GPU Fan1
power 0 1e12 GPU Power (Total)
"

stage() {
    local arch=$1 dir="$work/feed/$1" build
    build=$(build_of "$arch")
    mkdir -p "$dir/hid"
    cp "$build/$feeder" "$dir/"
    cp "$build/tests/scripted-sensors/libhwsensors.so" "$dir/"
    cp -r "$source/configDir" "$dir/"
    printf '%s' "$script" >"$dir/sensors.script"
    echo "5131 2007 /dev/hidraw-arm64" >"$dir/hid/devices"
}

start() {
    local arch=$1 dir="$work/feed/$1" build
    build=$(build_of "$arch")
    (isolate "$dir/env" && export TARNIX_SCRIPTED_SENSORS="$dir/sensors.script" \
        HIDAPI_DOUBLE_DIR="$dir/hid" LD_LIBRARY_PATH="$build/tests/hidapi-double" \
        HWSENSORS_ROOT="$source/tests/system/data/root" QT_QPA_PLATFORM=offscreen &&
        run "$arch" "$dir/$feeder") >"$dir/stdout" 2>"$dir/stderr" &
    pids+=($!)
    echo $! >"$dir/pid"
}

frames() { [ -f "$1/hid/writes" ] && wc -l <"$1/hid/writes" || echo 0; }

step "$feeder feeding the hidapi double"
for arch in native arm64; do stage "$arch"; done
# Side by side, so that both see the same machine at the same time.
for arch in native arm64; do start "$arch"; done
deadline=$((SECONDS + 120))
while [ "$(frames "$work/feed/native")" -lt "$frames_wanted" ] ||
    [ "$(frames "$work/feed/arm64")" -lt "$frames_wanted" ]; do
    if [ $SECONDS -ge $deadline ]; then
        for arch in native arm64; do
            echo "$arch: $(frames "$work/feed/$arch") reports; standard error:"
            tail -20 "$work/feed/$arch/stderr"
        done
        echo "FAIL: fewer than $frames_wanted reports within 120 s"
        exit 1
    fi
    sleep 0.5
done
step "$frames_wanted reports each"
for arch in native arm64; do
    dir="$work/feed/$arch"
    kill -TERM "$(cat "$dir/pid")"
    status=0
    wait "$(cat "$dir/pid")" || status=$?
    echo "$status" >"$dir/status"
    echo "$arch $feeder: exit $status after SIGTERM"
done
cmp -s "$work/feed/native/status" "$work/feed/arm64/status" ||
    mismatch "$feeder exit codes after SIGTERM differ"

# One report per line, 130 hex digits; the masked bytes become "..".
masked_reports() {
    head -n "$frames_wanted" "$1/hid/writes" | while read -r _ hex; do
        [ ${#hex} -eq 130 ] || { echo "bad report: $hex"; continue; }
        local sum=0 i
        for ((i = 1; i < 30; i++)); do sum=$(((sum + 16#${hex:i*2:2}) % 256)); done
        [ "$sum" -eq $((16#${hex:60:2})) ] || echo "bad checksum: $hex"
        echo "${hex:0:42}..${hex:44:4}..............${hex:62}"
    done
}
for arch in native arm64; do masked_reports "$work/feed/$arch" >"$work/feed/$arch.reports"; done
cat "$work/feed/native.reports"
if grep -q '^bad' "$work/feed/native.reports" "$work/feed/arm64.reports"; then
    mismatch "a report is malformed"
    grep -H '^bad' "$work/feed/native.reports" "$work/feed/arm64.reports" || true
fi
if ! cmp -s "$work/feed/native.reports" "$work/feed/arm64.reports"; then
    mismatch "the reports differ"
    diff "$work/feed/native.reports" "$work/feed/arm64.reports" || true
fi

step "done"
if [ "$failures" -ne 0 ]; then
    echo "FAIL: $failures mismatches between the native and the arm64 build"
    exit 1
fi
echo "the arm64 build matches the native one"
