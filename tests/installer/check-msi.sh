#!/bin/bash
# Builds the Windows installer from a stand-in staging folder and checks it under wine64:
#   1. msiexec /i installs every file under Program Files\Tarnix, the Start-menu shortcut and
#      an uninstall entry; the installed Tarnix.exe runs from there;
#   2. a newer version's installer replaces the older one in place (one uninstall entry);
#   3. msiexec /x removes every installed file, the shortcut and the entry, and leaves the
#      user's settings (registry) and log (AppData) alone.
# Usage: check-msi.sh BUILD_DIR SOURCE_DIR. The wine prefix lives in BUILD_DIR/wineprefix-msi.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
for tool in wixl wixl-heat x86_64-w64-mingw32-g++-posix; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
wine=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || true)
[ -n "$wine" ] || { echo "SKIP: wine64 is missing"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-msi.XXXXXX")
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$build/wineprefix-msi" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINEARCH=win64 DISPLAY=
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { printf '== %s (%ds)\n' "$1" "$SECONDS"; }
w() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }

step "stand-in staging folders"
for version in 1.0.0 1.0.1; do
    stage="$work/stage-$version"
    mkdir -p "$stage/configDir" "$stage/licences"
    x86_64-w64-mingw32-g++-posix -O2 -static -DSTANDIN_VERSION="\"$version\"" \
        "$source/tests/installer/standin.cpp" -o "$stage/Tarnix.exe"
    cp "$source/configDir/appConfig.ini" "$stage/configDir/"
    echo "hidapi stand-in $version" >"$stage/hidapi.dll"
    echo "README $version" >"$stage/README.txt"
    echo "Qt licence" >"$stage/licences/Qt-LGPLv3.txt"
    TARNIX_MSI_VERSION=$version "$source/scripts/package-msi.sh" "$stage" "$work/tarnix-$version.msi"
done

step "wine prefix"
w wineboot --init >/dev/null
drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/Tarnix"
# The all-users Start menu; wine's msi puts a per-machine shortcut in the installing user's.
shortcuts=("$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarnix.lnk"
    "$drive/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tarnix.lnk")
shortcut_count() { compgen -G "${shortcuts[0]}" | wc -l; compgen -G "${shortcuts[1]}" | wc -l; }
has_shortcut() { [ "$(shortcut_count | awk "{ n += \$1 } END { print n }")" -gt 0 ]; }
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Product codes of the uninstall entries named Tarnix.
entries() {
    w reg query "$uninstall" /s | awk '
        /^HKEY_/ { key = $0; sub(/.*\\/, "", key) }
        $1 == "DisplayName" && $3 == "Tarnix" && NF == 3 { print key }' | sort -u
}
# Leftovers of an earlier, interrupted run.
for code in $(entries); do w msiexec /x "$code" /qn >/dev/null || true; done

step "install 1.0.0"
w msiexec /i "$(w winepath -w "$work/tarnix-1.0.0.msi")" /qn || fail "msiexec /i"
for file in Tarnix.exe hidapi.dll README.txt LICENSE.txt configDir/appConfig.ini \
    licences/Qt-LGPLv3.txt; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
cmp -s "$installed/LICENSE.txt" "$source/LICENSE" || fail "LICENSE.txt is not the licence"
has_shortcut || fail "no Start-menu shortcut"
[ "$(entries | wc -l)" -eq 1 ] || fail "expected one uninstall entry: $(entries)"
w reg query "$uninstall\\$(entries)" /v DisplayVersion | grep -q '1\.0\.0' ||
    fail "the uninstall entry has another version"
w 'C:\Program Files\Tarnix\Tarnix.exe' 'C:\ran.txt' || fail "the installed Tarnix.exe"
grep -q '^1.0.0 C:\\Program Files\\Tarnix\\Tarnix.exe' "$drive/ran.txt" ||
    fail "the installed Tarnix.exe wrote: $(cat "$drive/ran.txt")"

step "the user's settings and log"
user=$(w cmd /c echo %USERNAME%)
log="$drive/users/$user/AppData/Roaming/Tarnix/logDir/Tarnix_log.txt"
mkdir -p "$(dirname "$log")" && echo "a log line" >"$log"
w reg add 'HKCU\Software\Tarnix\Tarnix' /v TemperatureUnit /t REG_SZ /d 2 /f >/dev/null

step "upgrade to 1.0.1"
w msiexec /i "$(w winepath -w "$work/tarnix-1.0.1.msi")" /qn || fail "msiexec /i (upgrade)"
[ "$(entries | wc -l)" -eq 1 ] || fail "the older version is still registered: $(entries)"
w reg query "$uninstall\\$(entries)" /v DisplayVersion | grep -q '1\.0\.1' ||
    fail "the uninstall entry was not upgraded"
grep -q 'hidapi stand-in 1.0.1' "$installed/hidapi.dll" || fail "hidapi.dll was not replaced"
w 'C:\Program Files\Tarnix\Tarnix.exe' 'C:\ran.txt' || fail "the upgraded Tarnix.exe"
grep -q '^1.0.1 ' "$drive/ran.txt" || fail "the upgraded Tarnix.exe wrote: $(cat "$drive/ran.txt")"

step "remove"
w msiexec /x "$(w winepath -w "$work/tarnix-1.0.1.msi")" /qn || fail "msiexec /x"
left=$(find "$installed" -type f 2>/dev/null || true)
[ -z "$left" ] || fail "left installed: $left"
! has_shortcut || fail "the Start-menu shortcut is left"
[ -z "$(entries)" ] || fail "the uninstall entry is left"
[ -f "$log" ] || fail "the user's log was removed"
w reg query 'HKCU\Software\Tarnix\Tarnix' /v TemperatureUnit | grep -q REG_SZ ||
    fail "the user's settings were removed"
rm -f "$drive/ran.txt"
echo "PASS: install, run, upgrade in place, remove (${SECONDS}s)"
