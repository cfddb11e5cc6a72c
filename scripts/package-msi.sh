#!/bin/sh
# Builds the 64-bit Windows installer from a staging folder (Tarnix.exe with everything that
# ships beside it, as scripts/package-windows.sh stages it):
#   scripts/package-msi.sh STAGING_DIR OUT.msi
# The version is the project's (CMakeLists.txt) unless TARNIX_MSI_VERSION gives another.
# LICENSE goes in as LICENSE.txt when the staging folder has none. Needs wixl (msitools).
set -eu
[ $# -eq 2 ] || { echo "usage: $0 STAGING_DIR OUT.msi" >&2; exit 2; }
source=$(cd "$(dirname "$0")/.." && pwd)
staging=$(cd "$1" && pwd)
out=$2
[ -f "$staging/Tarnix.exe" ] || { echo "no Tarnix.exe in $staging" >&2; exit 1; }
command -v wixl >/dev/null || { echo "wixl is missing (scripts/install-deps.sh)" >&2; exit 1; }

version=${TARNIX_MSI_VERSION:-$(sed -n 's/^project(Tarnix VERSION \([0-9.]*\).*/\1/p' \
    "$source/CMakeLists.txt")}
[ -n "$version" ] || { echo "no version found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cp -a "$staging" "$work/files"
[ -e "$work/files/LICENSE.txt" ] || cp "$source/LICENSE" "$work/files/LICENSE.txt"

# Every staged file but the executable (which the shortcut names) as its own component.
(cd "$work/files" && find . -type f ! -path ./Tarnix.exe | sed 's#^\./##' | LC_ALL=C sort) |
    wixl-heat --prefix "" --directory-ref INSTALLDIR --component-group StagedFiles \
        --var var.SourceDir --win64 >"$work/files.wxs"

case $out in /*) ;; *) out="$PWD/$out" ;; esac
# "Installed apps" links to the company page the staged configuration names.
link=$(sed -n 's/^CompanyLinkUrl=//p' "$staging/configDir/appConfig.ini" 2>/dev/null | tr -d '\r' | head -n 1)
[ -n "$link" ] || { echo "no CompanyLinkUrl in $staging/configDir/appConfig.ini" >&2; exit 1; }
# wixl resolves sources relative to where it runs.
(cd "$work" && wixl --arch x64 -D SourceDir=files -D Version="$version" -D Win64=yes \
    -D HelpLink="$link" \
    -o "$out" "$source/packaging/windows/Tarnix.wxs" files.wxs)
echo "Built $out (Tarnix $version, $(du -k "$out" | cut -f1) KiB)"
