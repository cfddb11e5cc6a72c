#!/bin/bash
# Builds the Debian package and checks it as a user's machine would see it:
#   1. cpack -G DEB from the build folder; lintian without errors;
#   2. a throw-away root made from this machine's own installed packages: the package's
#      dependencies, followed through their Depends fields, and dash and coreutils for the
#      maintainer scripts; no udev, as in a container;
#   3. dpkg -i there; tarnix-sensors, tarnix and tarnixd run chrooted, as a user, on a
#      recorded machine and with the hidapi double: the sensors are loaded, the log is
#      written, frames are sent, tarnixd ends with 0 on SIGTERM;
#   4. dpkg -P, after which nothing of the package is left in the root, the service's
#      settings and log included;
#   5. install and purge again with a udevadm whose trigger fails.
# Usage: check-deb.sh BUILD_DIR SOURCE_DIR. Needs root (chroot, mount namespaces); exits 77
# (skipped) without it. KEEP=1 keeps the work folder.
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the package check needs root (dpkg --root, chroot)"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-deb.XXXXXX")
root="$work/root"
cleanup() { [ "${KEEP:-0}" = 1 ] || rm -rf --one-file-system "$work"; }
trap cleanup EXIT

step() { printf '== %s (%ds)\n' "$1" "$SECONDS"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

step "building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/tarnix_*.deb)
dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt5widgets5 libhidapi-hidraw0 libudev1; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

step "lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"

step "making the root"
# The names a Depends or Pre-Depends field lists: the first installed alternative, or the
# installed package that provides a virtual one.
dpkg-query -W -f='${db:Status-Status} ${Package} ${Provides}\n' >"$work/provides"
native=$(dpkg --print-architecture)
# The installed package of that name, of the native architecture where there are several.
installed_name() {
    local candidate
    for candidate in "$1:$native" "$1"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$candidate" 2>/dev/null)" = installed ]
        then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}
pick() {
    local alternative name
    IFS='|' read -ra alternatives <<<"$1"
    for alternative in "${alternatives[@]}"; do
        name=$(sed -E 's/\(.*\)//; s/:[a-z0-9]+//; s/[[:space:]]//g' <<<"$alternative")
        [ -n "$name" ] || continue
        installed_name "$name" && return
        name=$(awk -v want="$name" '$1 == "installed" {
            for (i = 3; i <= NF; i++) { p = $i; sub(/[,:].*$/, "", p); if (p == want) { print $2; exit } }
        }' "$work/provides")
        [ -n "$name" ] && installed_name "$name" && return
    done
    fail "no installed package for: $1"
}
declare -A taken
# coreutils too: every Debian system has it (Essential), and the purge removes folders.
queue=("$(installed_name dash)" "$(installed_name coreutils)")
IFS=',' read -ra fields <<<"$depends"
for field in "${fields[@]}"; do queue+=("$(pick "$field")"); done
while [ ${#queue[@]} -gt 0 ]; do
    package=${queue[0]}
    queue=("${queue[@]:1}")
    [ -n "$package" ] || fail "a dependency has no installed package"
    [ -z "${taken[$package]:-}" ] || continue
    taken[$package]=1
    relations=$(dpkg-query -W -f='${Pre-Depends},${Depends}' "$package")
    IFS=',' read -ra fields <<<"$relations"
    for field in "${fields[@]}"; do
        [[ "$field" =~ [^[:space:]] ]] && queue+=("$(pick "$field")")
    done
done
echo "${#taken[@]} packages: ${!taken[*]}"

mkdir -p "$root"/{tmp,etc,dev,proc,var/lib/dpkg/info,var/lib/dpkg/updates}
chmod 1777 "$root/tmp"
for top in bin sbin lib lib32 lib64 libx32; do
    if [ -L "/$top" ]; then
        mkdir -p "$root/$(readlink "/$top")"
        ln -s "$(readlink "/$top")" "$root/$top"
    fi
done
: >"$root/var/lib/dpkg/status"
for package in "${!taken[@]}"; do
    dpkg-query -s "$package" >>"$root/var/lib/dpkg/status"
    echo >>"$root/var/lib/dpkg/status"
    cp "/var/lib/dpkg/info/$(dpkg-query -W -f='${binary:Package}' "$package").list" \
        "$root/var/lib/dpkg/info/"
    dpkg -L "$package"
done | while IFS= read -r path; do
    case "$path" in
        /usr/share/doc/* | /usr/share/man/* | /usr/share/locale/*) continue ;;
        /*) ;;
        *) continue ;; # dpkg's notes on diversions
    esac
    if [ -L "$path" ] || [ -f "$path" ]; then printf '%s\n' "${path#/}"; fi
done | sort -u >"$work/files"
tar -C / --no-recursion -cf - -T "$work/files" | tar -C "$root" --keep-directory-symlink -xf -
echo "root: $(wc -l <"$work/files") files, $(du -sh --apparent-size "$root" | cut -f1)"
snapshot() {
    (cd "$root" && find . -path ./tmp -prune -o -path ./var/lib/dpkg -prune -o \
        -printf '%y %m %p %l\n' | sort)
}
snapshot >"$work/before"
# dpkg on the root, with the machine's /dev bound into it for the maintainer scripts, in a
# mount namespace of its own so that nothing stays mounted.
root_dpkg() {
    unshare --mount /bin/sh -c 'mount --rbind /dev "$0/dev" && exec dpkg --root="$0" "$@"' \
        "$root" "$@"
}

step "dpkg -i, no udev in the root"
root_dpkg -i "$deb" || fail "dpkg -i"
[ "$(dpkg --root="$root" -s tarnix | sed -n 's/^Status: //p')" = "install ok installed" ] ||
    fail "tarnix is not installed and configured"
for installed in usr/bin/tarnix usr/lib/tarnix/Tarnix usr/lib/tarnix/libhwsensors.so \
    usr/lib/tarnix/configDir/appConfig.ini usr/lib/udev/rules.d/60-tarnix.rules \
    usr/share/applications/tarnix.desktop usr/share/metainfo/example.tarnix.Tarnix.metainfo.xml \
    usr/share/man/man1/tarnix.1.gz usr/bin/tarnixd usr/lib/tarnix/tarnixd \
    lib/systemd/system/tarnix.service usr/lib/sysusers.d/tarnix.conf \
    usr/share/man/man8/tarnixd.8.gz; do
    [ -e "$root/$installed" ] || fail "not installed: /$installed"
done
# The licence: the program's own paragraph names GPL-3+, the fonts keep theirs.
grep -A2 -x 'Files: \*' "$root/usr/share/doc/tarnix/copyright" | grep -qx 'License: GPL-3+' ||
    fail "the copyright file does not license the program under GPL-3+"
grep -qx 'License: OFL-1.1' "$root/usr/share/doc/tarnix/copyright" ||
    fail "the copyright file lost the fonts' licence"
grep -qx 'ExecStart=/usr/bin/tarnixd --settings /var/lib/tarnix --log-dir /var/log/tarnix' \
    "$root/lib/systemd/system/tarnix.service" || fail "the unit does not start /usr/bin/tarnixd"
# Installed disabled: nothing links the unit into a target.
[ ! -e "$root/etc/systemd/system/multi-user.target.wants/tarnix.service" ] ||
    fail "the service was enabled by the installation"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$root/usr/share/metainfo/example.tarnix.Tarnix.metainfo.xml" ||
    fail "the AppStream data names another licence"

step "running the installed program"
mkdir -p "$root/tmp/fixture" "$root/tmp/double" "$root/tmp/hid" "$root/tmp/home" "$root/tmp/runtime"
cp -a "$source/tests/sensors/fixtures/amd-desktop/." "$root/tmp/fixture/"
cp -a "$build"/tests/hidapi-double/libhidapi-hidraw.so* "$root/tmp/double/"
echo "5131 2007 /dev/hidraw-package" >"$root/tmp/hid/devices"
chmod 700 "$root/tmp/runtime"
# Run as a user, as the program would be: nothing it writes may land outside its home.
chown -R 65534:65534 "$root/tmp/hid" "$root/tmp/home" "$root/tmp/runtime"
# In mount, IPC and PID namespaces of its own: /proc for the programs' own path, a private
# single-instance segment, and nothing left mounted afterwards.
unshare --mount --ipc --pid --fork --kill-child /bin/sh -s "$root" <<'INNER' || fail "run in the root"
set -eu
root=$1
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
run() {
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/runtime \
        HWSENSORS_ROOT=/tmp/fixture QT_QPA_PLATFORM=offscreen HIDAPI_DOUBLE_DIR=/tmp/hid \
        LD_LIBRARY_PATH=/tmp/double chroot --userspec=65534:65534 "$root" "$@"
}
run /usr/bin/tarnix-sensors >"$root/tmp/sensors.out" 2>"$root/tmp/sensors.err"
run /usr/bin/tarnix >"$root/tmp/tarnix.out" 2>"$root/tmp/tarnix.err" &
tarnix=$!
i=0
while [ $i -lt 200 ] && ! [ -s "$root/tmp/hid/writes" ]; do sleep 0.1; i=$((i + 1)); done
sleep 1
kill -TERM $tarnix 2>/dev/null || true
wait $tarnix || true
# The service's program as the service runs it: its own folders, no display, no session.
mkdir -p "$root/tmp/state" "$root/tmp/logs"
chown 65534:65534 "$root/tmp/state" "$root/tmp/logs"
mv "$root/tmp/hid/writes" "$root/tmp/tarnix.writes" 2>/dev/null || true
# exec: the signal below must reach tarnixd itself, not a shell around it.
run_daemon() {
    exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/home HWSENSORS_ROOT=/tmp/fixture \
        HIDAPI_DOUBLE_DIR=/tmp/hid LD_LIBRARY_PATH=/tmp/double \
        chroot --userspec=65534:65534 "$root" "$@"
}
run_daemon /usr/bin/tarnixd --settings /tmp/state --log-dir /tmp/logs \
    >"$root/tmp/tarnixd.out" 2>"$root/tmp/tarnixd.err" &
daemon=$!
i=0
while [ $i -lt 200 ] && ! [ -s "$root/tmp/hid/writes" ]; do sleep 0.1; i=$((i + 1)); done
kill -TERM $daemon 2>/dev/null || true
status=0
wait $daemon || status=$?
echo "$status" >"$root/tmp/tarnixd.status"
INNER

grep -qx "$(printf 'field\tcpuTemperature\t61.25')" "$root/tmp/sensors.out" ||
    { cat "$root/tmp/sensors.out" "$root/tmp/sensors.err"; fail "tarnix-sensors read no sensors"; }
log=$(cat "$root"/tmp/home/.local/share/Tarnix/logDir/*.log 2>/dev/null || true)
grep -q "HWi32SDK init Over \[Successful\]" <<<"$log" ||
    { cat "$root/tmp/tarnix.out" "$root/tmp/tarnix.err"; echo "$log"; fail "tarnix loaded no sensors"; }
[ -s "$root/tmp/tarnix.writes" ] || fail "tarnix sent no frame to the display"
echo "tarnix: $(wc -l <"$root/tmp/tarnix.writes") frames sent, a log of $(wc -l <<<"$log") lines"
[ -s "$root/tmp/hid/writes" ] || { cat "$root/tmp/tarnixd.err"; fail "tarnixd sent no frame"; }
[ "$(cat "$root/tmp/tarnixd.status")" = 0 ] || fail "tarnixd ended with $(cat "$root/tmp/tarnixd.status")"
grep -q "Exit app runing \[Normal\]" "$root"/tmp/logs/*.log || fail "tarnixd wrote no log"
echo "tarnixd: $(wc -l <"$root/tmp/hid/writes") frames sent, exit status 0"

step "dpkg -P"
purge() {
    rm -rf --one-file-system "${root:?}/tmp/"*
    # What the service left: a purge takes its settings and log with it.
    mkdir -p "$root/var/lib/tarnix/MyCompanyKelmar"
    : >"$root/var/lib/tarnix/MyCompanyKelmar/Tarnix.conf"
    if [ -d "$root/var/log" ]; then
        mkdir -p "$root/var/log/tarnix"
        : >"$root/var/log/tarnix/2026-12-09.log"
    fi
    root_dpkg -P tarnix || fail "dpkg -P"
    ! dpkg --root="$root" -s tarnix >/dev/null 2>&1 || fail "tarnix still known to dpkg"
    ! ls "$root"/var/lib/dpkg/info/tarnix.* >/dev/null 2>&1 || fail "tarnix's dpkg files are left"
    snapshot >"$work/after"
    diff -u "$work/before" "$work/after" || fail "the root differs after removal"
}
purge

step "dpkg -i and -P, with a udev whose udevadm fails"
# Reloading works, triggering fails: neither may fail the package's installation or removal.
mkdir -p "$root/run/udev"
: >"$root/run/udev/control"
cat >"$root/usr/sbin/udevadm" <<'FAKE'
#!/bin/sh
echo "$*" >>/tmp/udevadm.calls
[ "$1" = control ]
FAKE
chmod 755 "$root/usr/sbin/udevadm"
# The service's user comes from sysusers.d before udev hears of the rule.
cat >"$root/usr/bin/systemd-sysusers" <<'FAKE'
#!/bin/sh
echo "sysusers $*" >>/tmp/udevadm.calls
FAKE
chmod 755 "$root/usr/bin/systemd-sysusers"
snapshot >"$work/before"
root_dpkg -i "$deb" || fail "dpkg -i with a failing udevadm"
expected="sysusers tarnix.conf
control --reload-rules
trigger --subsystem-match=hidraw --action=change"
[ "$(cat "$root/tmp/udevadm.calls")" = "$expected" ] ||
    fail "postinst called udevadm as: $(cat "$root/tmp/udevadm.calls")"
purge
expected="control --reload-rules
trigger --subsystem-match=hidraw --action=change"
[ "$(cat "$root/tmp/udevadm.calls")" = "$expected" ] ||
    fail "postrm called udevadm as: $(cat "$root/tmp/udevadm.calls")"
step "done"
