# Shared by the whole-program benchmarks: a stage folder for one Tarnix and its clean-up.
# Sourced, with $build and $here set by the caller.

# stage_tarnix DIR LIBRARY SHOW DEVICE_LINE: Tarnix with LIBRARY as its sensor library, its own
# home, settings, data, cache and temp folders, ShowMainPageUI=SHOW, and the display listed in
# the hidapi double's control folder DIR/hid.
stage_tarnix() {
    mkdir -p "$1/app/configDir" "$1/hid" "$1/home" "$1/config" "$1/data" "$1/cache" "$1/tmp"
    cp "$build/Tarnix" "$2" "$1/app/"
    cp "$here/../configDir/"*.png "$1/app/configDir/"
    sed "s/^ShowMainPageUI=.*/ShowMainPageUI=$3/" "$here/../configDir/appConfig.ini" \
        >"$1/app/configDir/appConfig.ini"
    printf '%s\n' "$4" >"$1/hid/devices"
}

# release_qt_ipc DIR...: a terminated Tarnix leaves its single-instance segment and semaphore
# behind; Qt keys them with ftok(key file, 'Q'), and the key files are in each stage's tmp.
release_qt_ipc() {
    for stageDir in "$@"; do
        for file in "$stageDir"/tmp/qipc_*; do
            [ -e "$file" ] || continue
            key=$(python3 -c 'import os, sys; s = os.stat(sys.argv[1]); print(hex((s.st_ino & 0xffff) | ((s.st_dev & 0xff) << 16) | (ord("Q") << 24)))' "$file")
            ipcrm -M "$key" 2>/dev/null || true
            ipcrm -S "$key" 2>/dev/null || true
        done
    done
}

# require_built FILE...: each file, relative to $build, must exist.
require_built() {
    for needed in "$@"; do
        [ -e "$build/$needed" ] || { echo "missing $build/$needed: build everything first" >&2; exit 1; }
    done
}
