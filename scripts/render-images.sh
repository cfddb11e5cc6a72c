#!/bin/sh
# Renders the pictures under images/ and configDir/ from their SVG sources in images/src/.
# The PNGs are committed; run this by hand after changing a source. Needs g++ and Qt 5 Svg
# (libqt5svg5-dev).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-images.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_RUNTIME_DIR="$work"

# shellcheck disable=SC2046 # pkg-config prints several flags
g++ -std=c++17 -fPIC -O1 "$root/scripts/svg2png/svg2png.cpp" -o "$work/svg2png" \
    $(pkg-config --cflags --libs Qt5Svg Qt5Gui)

src="$root/images/src"
fonts="$root/images/LocalFont/MontserratBold.otf"
# render SOURCE TARGET WIDTH HEIGHT
render() {
    mkdir -p "$(dirname "$root/$2")"
    QT_QPA_PLATFORM=offscreen "$work/svg2png" "$src/$1" "$root/$2" "$3" "$4" $fonts
    echo "$2 ($3x$4)"
}

# Shown at 30x30 and 200x30; the logo at twice its size for high-density screens.
render AppLogo.svg images/AppLogo.png 60 60
render wordmark.svg images/leftTopLogo.png 200 30
# Title-bar buttons, shown at 18x18, drawn at twice that.
for name in setting minWindow maxWindow closeWindow; do
    for state in Def Sel; do
        render "mainpage/$name$state.svg" "images/mainpage/$name$state.png" 36 36
    done
done
# The drop-down arrow of the dialogs' lists, shown at 12x12.
render mainpage/dropDown.svg images/mainpage/dropDown.png 24 24
# Metric icons, shown at 13x13 through border-image scaling, drawn at twice that.
for name in utilization frequency fan power; do
    render "InfoLog/$name.svg" "images/InfoLog/$name.png" 26 26
done
# Files the shipped configuration names.
render AppLogo.svg configDir/AppIco.png 128 128
render AppLogo.svg configDir/AppLogo.png 60 60
render wordmark.svg configDir/leftTopImage.png 200 30
render mainBg.svg configDir/mainBg.png 1150 750
