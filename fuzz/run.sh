#!/bin/sh
# Fuzzes one target: fuzz/run.sh TARGET SECONDS [BUILD_DIR]
# Starts from the target's corpus in fuzz/corpus/TARGET; inputs that reach new code go to
# BUILD_DIR/fuzz/work/TARGET (the corpus in the repository is only read). A finding stops the
# run, leaves crash-* beside the work folder and fails with its report.
# To keep new inputs: add -merge=1 runs by hand, see the README.
set -eu
[ $# -ge 2 ] || { echo "usage: $0 TARGET SECONDS [BUILD_DIR]" >&2; exit 2; }
target=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${3:-$here/../build}" && pwd)
binary="$build/fuzz/fuzz/fuzz_$target"
corpus="$here/corpus/$target"
work="$build/fuzz/work/$target"
[ -x "$binary" ] || { echo "$binary is not built (cmake --build $build)" >&2; exit 2; }
[ -d "$corpus" ] || { echo "no corpus folder $corpus" >&2; exit 2; }
mkdir -p "$work"
cd "$build/fuzz/work"
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../tests/sanitizers/lsan.supp:print_suppressions=0}"
exec "$binary" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/work/$target-" "$work" "$corpus"
