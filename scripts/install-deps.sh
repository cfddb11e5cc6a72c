#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Tarnix need and that
# the machine lacks. Uses sudo when not run as root.
set -eu
packages="cmake make g++ pkg-config git
qtbase5-dev qtbase5-dev-tools qtbase5-private-dev libqt5svg5-dev qtwayland5
libhidapi-dev libudev-dev libsystemd-dev
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 msitools wixl
xvfb xauth x11-apps x11-utils xdotool trayer weston imagemagick pci.ids fonts-dejavu-core dbus
clang libclang-rt-14-dev
dpkg-dev file lintian appstream mount systemd debootstrap"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
echo "Installing:$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
