#!/bin/sh
# Runs one test with HOME and the XDG folders in a fresh temporary folder, so no test
# touches the real settings, autostart, log or temp folders, and with the offscreen platform.
set -u
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-test.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$scratch/home" "$scratch/config" "$scratch/data" "$scratch/cache" "$scratch/runtime" \
    "$scratch/tmp"
chmod 700 "$scratch/runtime"
export HOME="$scratch/home"
export XDG_CONFIG_HOME="$scratch/config"
export XDG_DATA_HOME="$scratch/data"
export XDG_CACHE_HOME="$scratch/cache"
export XDG_RUNTIME_DIR="$scratch/runtime"
export TARNIX_TEST_SCRATCH="$scratch"
# The lock that keeps to one feeder per display, away from the machine's own programs.
export TARNIX_LOCK_DIR="$scratch/tmp"
# The single-instance key of a started Tarnix lives in the temp folder too.
export TMPDIR="$scratch/tmp"
# No test listens to the machine's own system bus; those that need one start their own.
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$scratch/no-system-bus"
# Nor to the session bus, where a panel's tray would change what the window does.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-session-bus"
export QT_QPA_PLATFORM="${TARNIX_TEST_QPA:-offscreen}"
unset XDG_CONFIG_DIRS XDG_DATA_DIRS
"$@"
