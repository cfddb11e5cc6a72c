#!/bin/sh
# Starts the real Tarnix window under Xvfb with the shipped configuration and saves PNGs of the
# monitor page and the hardware-information page, and (from the test build) the "Sources" dialog
# and the "History" panel.
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
# With the scripted sensor library and the hidapi test double from the test build, the window
# shows live-looking values and "Connected"; without them it shows zeros.
set -eu
build=$(cd "${1:-build}" && pwd)
out=${2:-docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)

stage=$(mktemp -d)
display=:$((90 + $$ % 9))
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$stage"
}
trap cleanup EXIT INT TERM

cp "$build/Tarnix" "$stage/"
cp -r "$build/configDir" "$stage/"
scripted="$build/tests/scripted-sensors/libhwsensors.so"
script_file="$(dirname "$0")/../tests/controller/screenshot.sensors"
if [ -f "$scripted" ] && [ -f "$script_file" ]; then
    cp "$scripted" "$stage/libhwsensors.so"
    export TARNIX_SCRIPTED_SENSORS="$(cd "$(dirname "$script_file")" && pwd)/$(basename "$script_file")"
elif [ -f "$build/libhwsensors.so" ]; then
    cp "$build/libhwsensors.so" "$stage/"
fi
if [ -d "$build/tests/hidapi-double" ]; then
    mkdir -p "$stage/hid"
    printf '5131 2007 /dev/hidraw-screenshot\n' >"$stage/hid/devices"
    export HIDAPI_DOUBLE_DIR="$stage/hid"
    export LD_LIBRARY_PATH="$build/tests/hidapi-double${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
fi

export HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/.config" XDG_DATA_HOME="$stage/home/.local/share"
mkdir -p "$HOME"
Xvfb "$display" -screen 0 1200x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
unset QT_QPA_PLATFORM
"$stage/Tarnix" >/dev/null 2>&1 &
app=$!
sleep 5
import -window root -depth 8 -crop 1150x750+0+0 "$out/monitor.png"

# The page button sits in the left column, below the title.
window=$(xdotool search --pid "$app" | tail -n 1)
xdotool mousemove --window "$window" 113 223 click 1
sleep 1
import -window root -depth 8 -crop 1150x750+0+0 "$out/hardware.png"
saved="$out/monitor.png and $out/hardware.png"

# The dialog hangs off the tray menu, which Xvfb has no tray for: a helper of the test build
# shows it over one pass of the same scripted sensors.
shot="$build/tests/controller/sourcesShot"
if [ -x "$shot" ] && [ -n "${TARNIX_SCRIPTED_SENSORS:-}" ]; then
    (cd "$(dirname "$shot")" && "$shot" "$out/sources.png") >/dev/null 2>&1
    saved="$saved and $out/sources.png"
fi
shot="$build/tests/controller/historyShot"
if [ -x "$shot" ] && [ -n "${TARNIX_SCRIPTED_SENSORS:-}" ]; then
    (cd "$(dirname "$shot")" && "$shot" "$out/history.png") >/dev/null 2>&1
    saved="$saved and $out/history.png"
fi
echo "Saved $saved"
