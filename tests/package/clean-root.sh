#!/bin/bash
# The package in a clean Debian root, as on a fresh server: debootstrap --variant=minbase
# (kept under the build folder and copied afresh for each run), apt installs the .deb with its
# dependencies, postinst creates the tarnix user, the unit is installed but not enabled,
# tarnixd run as that user feeds the hidapi double and ends with 0 on SIGTERM, and a purge
# leaves none of the package's files and none of the service's settings or log.
# The mirror is the one this machine's apt uses. Usage: clean-root.sh BUILD_DIR SOURCE_DIR.
# Needs root and debootstrap; exits 77 (skipped) without them.
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
command -v debootstrap >/dev/null 2>&1 || { echo "SKIP: no debootstrap"; exit 77; }

step() { printf '== %s (%ds)\n' "$1" "$SECONDS"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# The first Debian archive apt reads from, in either sources format.
mirror=$( (sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources \
    2>/dev/null; sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*\).*/\2/p' \
    /etc/apt/sources.list 2>/dev/null || true) | grep -v -- '-security' | head -n1 || true)
[ -n "$mirror" ] || fail "no Debian mirror in the apt configuration"
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")

cache="$build/clean-root/base"
if [ ! -e "$cache/.complete" ]; then
    step "debootstrap $suite from the machine's mirror"
    rm -rf --one-file-system "$cache"
    mkdir -p "$cache"
    debootstrap --variant=minbase "$suite" "$cache" "$mirror" >"$build/clean-root/debootstrap.log" 2>&1 ||
        { tail -20 "$build/clean-root/debootstrap.log"; fail "debootstrap"; }
    touch "$cache/.complete"
fi

work=$(mktemp -d "$build/clean-root/run.XXXXXX")
root="$work/root"
trap 'rm -rf --one-file-system "$work"' EXIT
step "copying the root"
cp -a "$cache" "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

step "building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
cp "$work"/out/tarnix_*.deb "$root/tmp/tarnix.deb"
mkdir -p "$root/tmp/fixture" "$root/tmp/double" "$root/tmp/hid"
cp -a "$source/tests/sensors/fixtures/amd-desktop/." "$root/tmp/fixture/"
cp -a "$build"/tests/hidapi-double/libhidapi-hidraw.so* "$root/tmp/double/"
echo "5131 2007 /dev/hidraw-clean" >"$root/tmp/hid/devices"

# Everything in the root runs in mount and PID namespaces of its own.
unshare --mount --pid --fork --kill-child /bin/bash -s "$root" <<'INNER' || fail "in the root"
set -euo pipefail
root=$1
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive "$@"; }
echo "== apt installs the package"
in_root apt-get -qq update
in_root apt-get -y -qq install /tmp/tarnix.deb >/dev/null
# The package's files and links (its folders, /lib among them, are shared with others).
in_root dpkg -L tarnix | while IFS= read -r path; do
    [ -d "$root$path" ] || echo "$path"
done >"$root/tmp/files"
in_root getent passwd tarnix >"$root/tmp/user"
in_root getent group tarnix >"$root/tmp/group"
echo "== tarnixd as the tarnix user"
mkdir -p "$root/var/lib/tarnix" "$root/var/log/tarnix"
in_root chown tarnix:tarnix /var/lib/tarnix /var/log/tarnix /tmp/hid
chroot --userspec=tarnix:tarnix "$root" /usr/bin/env -i PATH=/usr/bin:/bin \
    HWSENSORS_ROOT=/tmp/fixture HIDAPI_DOUBLE_DIR=/tmp/hid LD_LIBRARY_PATH=/tmp/double \
    /usr/bin/tarnixd --settings /var/lib/tarnix --log-dir /var/log/tarnix \
    >"$root/tmp/tarnixd.out" 2>"$root/tmp/tarnixd.err" &
daemon=$!
i=0
while [ $i -lt 200 ] && ! [ -s "$root/tmp/hid/writes" ]; do sleep 0.1; i=$((i + 1)); done
sleep 1
kill -TERM $daemon
status=0
wait $daemon || status=$?
echo "$status" >"$root/tmp/tarnixd.status"
in_root stat -c '%U' /var/log/tarnix >"$root/tmp/log-owner"
echo "== apt purges the package"
in_root apt-get -y -qq purge --autoremove tarnix >/dev/null
INNER

grep -q '^tarnix:x:[0-9]*:[0-9]*:.*:/var/lib/tarnix:/usr/sbin/nologin$' "$root/tmp/user" ||
    fail "postinst made no tarnix user: $(cat "$root/tmp/user")"
grep -q '^tarnix:' "$root/tmp/group" || fail "no tarnix group"
grep -qx /lib/systemd/system/tarnix.service "$root/tmp/files" || fail "the unit is not installed"
[ "$(cat "$root/tmp/tarnixd.status")" = 0 ] ||
    { cat "$root/tmp/tarnixd.err"; fail "tarnixd ended with $(cat "$root/tmp/tarnixd.status")"; }
frames=$(wc -l <"$root/tmp/hid/writes")
[ "$frames" -ge 1 ] || fail "tarnixd sent no frame"
echo "tarnixd as $(cat "$root/tmp/log-owner"): $frames frames sent, exit status 0"

left=""
while IFS= read -r path; do
    if [ -e "$root$path" ] || [ -L "$root$path" ]; then left="$left $path"; fi
done <"$root/tmp/files"
[ -z "$left" ] || fail "left after the purge:$left"
for folder in /var/lib/tarnix /var/log/tarnix; do
    [ ! -e "$root$folder" ] || fail "left after the purge: $folder"
done
step "done"
