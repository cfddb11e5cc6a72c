#!/bin/sh
# Installs the Debian 12 packages that Tarnix needs and the machine lacks: those that build and
# run the program, and with --test also those that build and run every test. Uses sudo when not
# run as root.
set -eu
packages="cmake make g++ pkg-config git
qtbase5-dev qtbase5-dev-tools qtbase5-private-dev qtwayland5
libhidapi-dev libudev-dev libcpp-httplib-dev libxcb1-dev libsystemd-dev pci.ids"
test_packages="libqt5svg5-dev
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 msitools wixl
xvfb xauth x11-apps x11-utils xdotool trayer weston imagemagick fonts-dejavu-core dbus
clang libclang-rt-14-dev
dpkg-dev file lintian appstream mount systemd debootstrap
prometheus curl python3 locales
g++-aarch64-linux-gnu qemu-user-static
qtbase5-dev:arm64 qtbase5-private-dev:arm64 libhidapi-dev:arm64 libudev-dev:arm64
libsystemd-dev:arm64 libcpp-httplib-dev:arm64"

case "${1:-}" in
--test) packages="$packages $test_packages" ;;
"") ;;
*)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
echo "Installing:$missing"
# The arm64 libraries and headers for the cross build sit beside the native ones (multiarch).
case "$missing" in
    *:arm64*) dpkg --print-foreign-architectures | grep -qx arm64 ||
        $as_root dpkg --add-architecture arm64 ;;
esac
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
