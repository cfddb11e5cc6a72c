#!/bin/sh
# The service as installed: systemd-analyze verify without a word, the security exposure at
# "OK" or better (4.9 at most), the sysusers file creating the user and group, and the udev
# rule granting the group the display while the desktop user keeps uaccess.
# Usage: check-unit.sh SOURCE_DIR TARNIXD RULES_FILE. Exits 77 without systemd-analyze.
set -eu
source=$1
daemon=$2
rules=$3
command -v systemd-analyze >/dev/null 2>&1 || { echo "SKIP: no systemd-analyze"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-unit.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

sed "s#@TARNIX_DAEMON@#$daemon#" "$source/packaging/systemd/tarnix.service.in" \
    >"$work/tarnix.service"
grep -q '@TARNIX' "$work/tarnix.service" && fail "unconfigured placeholder in the unit"

systemd-analyze verify --man=no "$work/tarnix.service" >"$work/verify" 2>&1 ||
    { cat "$work/verify"; fail "systemd-analyze verify"; }
[ ! -s "$work/verify" ] || { cat "$work/verify"; fail "systemd-analyze verify has remarks"; }

systemd-analyze security --offline=true "$work/tarnix.service" >"$work/security" 2>&1 ||
    { cat "$work/security"; fail "systemd-analyze security"; }
level=$(sed -n 's/.*Overall exposure level for tarnix.service: \([0-9.]*\).*/\1/p' \
    "$work/security")
[ -n "$level" ] || { cat "$work/security"; fail "no exposure level"; }
echo "exposure: $level"
awk -v l="$level" 'BEGIN { exit !(l <= 4.9) }' || fail "exposure $level is above 4.9 (OK)"

for key in 'Type=notify' 'WatchdogSec=' 'Restart=on-failure' 'User=tarnix' \
    'StateDirectory=tarnix' 'LogsDirectory=tarnix' 'DeviceAllow=char-hidraw rw'; do
    grep -q "^$key" "$work/tarnix.service" || fail "the unit lacks $key"
done
grep -q "^ExecStart=$daemon --settings /var/lib/tarnix --log-dir /var/log/tarnix$" \
    "$work/tarnix.service" || fail "ExecStart does not name the folders"

mkdir -p "$work/root/etc"
systemd-sysusers --root="$work/root" "$source/packaging/systemd/tarnix.sysusers" >/dev/null 2>&1 ||
    fail "systemd-sysusers"
grep -q '^tarnix:x:[0-9]*:[0-9]*:.*:/var/lib/tarnix:/usr/sbin/nologin$' "$work/root/etc/passwd" ||
    fail "no tarnix user: $(cat "$work/root/etc/passwd")"
grep -q '^tarnix:' "$work/root/etc/group" || fail "no tarnix group"

grep -q 'TAG+="uaccess"' "$rules" || fail "the rule lost uaccess"
grep '^SUBSYSTEM=="hidraw"' "$rules" | grep -q 'GROUP="tarnix", MODE="0660"' ||
    fail "the rule does not give the tarnix group the hidraw node"
echo "OK"
