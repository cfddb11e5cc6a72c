#!/usr/bin/env bash
# The Windows product under wine64: builds the 64-bit Tarnix.exe against the static Windows Qt
# (TARNIX_QT_WIN64), stages it with the scripted sensor library as HWiNFO32.dll and a hidapi.dll
# double that records every report, and checks it on an Xvfb display:
#   frames about once a second with the same bytes as the Linux end-to-end run, a screenshot,
#   hot-plug notices, no sensor library, second copy, start-up flag, log file, unit setting in
#   the registry, crash restart after a minute, the HTTP endpoint switched on.
#
#   which library feeds the values: ours alone from the unpacked zip in an empty prefix, the
#   third-party one when both are there, a 32-bit one passed over with a reason.
#
#   tests/windows-product/run.sh [BUILD_DIR]        (default build-win64; exit 77: no Windows Qt)
#   TARNIX_WINPRODUCT_SCREENSHOT=docs/windows.png   also keeps the screenshot there
#   TARNIX_WINPRODUCT_SKIP_CRASH=1                  skips the crash check (it waits a minute)
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnix
qt=${TARNIX_QT_WIN64:-$cache/qt5-win64}
build=$(realpath -m "${1:-$root/build-win64}")

if [ ! -f "$qt/.tarnix-complete" ]; then
    echo "SKIP: no 64-bit Windows Qt at $qt (scripts/build-qt-windows.sh win64 builds it)"
    exit 77
fi

failures=0
passes=0
pass() {
    passes=$((passes + 1))
    echo "PASS: $*"
}
fail() {
    failures=$((failures + 1))
    echo "FAIL: $*"
}
note() { echo "      $*"; }

# --- build ---------------------------------------------------------------------------------
# The product as users download it: the 64-bit zip, built by the packaging script.
echo "Building Tarnix-<version>-win64.zip in $build"
"$root/scripts/package-windows.sh" win64 "$build" >"$build.package.log" 2>&1 ||
    { tail -n 60 "$build.package.log"; exit 1; }
zip=$(ls "$build"/Tarnix-*-win64.zip | head -n 1)
cmake -S "$root/tests/windows-product" -B "$build/doubles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    >/dev/null 2>&1 && cmake --build "$build/doubles" -j"$(nproc)" >"$build/doubles.log" 2>&1 ||
    { tail -n 40 "$build/doubles.log"; exit 1; }

# --- wine and a display ----------------------------------------------------------------------
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
work=$(mktemp -d)
cleanup() {
    "$(dirname "$wine")/wineserver" -k >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
"$wine" wineboot --init >/dev/null 2>&1
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# --- staging ---------------------------------------------------------------------------------
# The desktop of the Linux end-to-end run, and the report bytes 2 to 17 it gives in Celsius.
cat >"$work/desktop.sensors" <<'EOF'
sensor CPU [#0]: Test CPU
temperature 0 45.9 CPU Package
usage 0 37.6 Total CPU Usage
clock 0 4700.6 Core 0 Clock
fan 0 1234 CPU Fan
power 0 65.4 CPU Package Power
sensor GPU [#0]: Test GPU
temperature 0 61.2 GPU Temperature
usage 0 88.8 GPU Core Load
clock 0 1875.5 GPU Clock
fan 0 1650 GPU Fan1
power 0 312.5 GPU Power (Total)
EOF
desktop_bytes=2d25125c04d200413d58075306720138
display_path='\\?\hid#vid_5131&pid_2007&mi_00#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}'

# stage NAME [sensors|own|both]: a folder with Tarnix.exe, configDir, the hidapi double and,
# when asked, the scripted sensor library as HWiNFO32.dll, our hwsensors.dll, or both; its
# control folder has the display attached.
stage() {
    local dir=$work/$1
    mkdir -p "$dir/app" "$dir/hid"
    cp "$build/Tarnix.exe" "$build/tarnix-http.dll" "$dir/app/"
    cp -r "$build/configDir" "$dir/app/"
    cp "$build/doubles/hidapi-double/hidapi.dll" "$dir/app/"
    case ${2:-} in sensors | both) cp "$build/doubles/sensors/HWiNFO32.dll" "$dir/app/" ;; esac
    case ${2:-} in own | both) cp "$build/hwsensors.dll" "$dir/app/" ;; esac
    cp "$work/desktop.sensors" "$dir/sensors"
    printf '5131 2007 %s\n' "$display_path" >"$dir/hid/devices"
    echo "$dir"
}

# launch DIR [ARGS]: starts the staged copy in the background; its output goes to DIR/out.
launch() {
    local dir=$1
    shift
    (cd "$dir/app" && HIDAPI_DOUBLE_DIR="Z:$dir/hid" TARNIX_SCRIPTED_SENSORS="Z:$dir/sensors" \
        exec "$wine" "$dir/app/Tarnix.exe" "$@" >>"$dir/out" 2>&1) &
    echo $!
}

stop_all() {
    "$wineserver" -k >/dev/null 2>&1
    sleep 1
}

tarnix_pids() { pgrep -f 'Tarnix\.exe' || true; }

reports() { [ -f "$1/hid/writes" ] && wc -l <"$1/hid/writes" || echo 0; }

wait_reports() { # DIR COUNT SECONDS
    local end=$((SECONDS + $3))
    while [ "$(reports "$1")" -lt "$2" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
    [ "$(reports "$1")" -ge "$2" ]
}

logfile() { find "$WINEPREFIX/drive_c/users" -path '*logDir/*.log' 2>/dev/null | head -n 1; }
log_lines() { [ -n "$(logfile)" ] && wc -l <"$(logfile)" || echo 0; }
log_since() { tail -n +"$(($1 + 1))" "$(logfile)" 2>/dev/null | tr -d '\r'; }

# Every report: 65 bytes, marker, checksum over bytes 1..29, zero tail; prints bad lines.
check_layout() {
    awk 'function byte(h) { return (index("0123456789abcdef", substr(h, 1, 1)) - 1) * 16 + index("0123456789abcdef", substr(h, 2, 1)) - 1 }
    {
        hex = $2
        if (length(hex) != 130) { print "length " length(hex) / 2; next }
        if (substr(hex, 1, 4) != "0040") { print "marker " substr(hex, 1, 4); next }
        sum = 0
        for (i = 1; i <= 29; i++) sum += byte(substr(hex, 2 * i + 1, 2))
        if (sum % 256 != byte(substr(hex, 61, 2))) { print "checksum"; next }
        if (substr(hex, 63) != sprintf("%068d", 0)) print "tail"
    }' "$1"
}

# --- 1. frames, screenshot, log, registry ----------------------------------------------------
echo "Check 1: reports, window, log, registry (both sensor libraries beside the program)"
a=$(stage frames both)
"$wine" reg delete 'HKCU\Software\MyCompanyKelmar' /f >/dev/null 2>&1
pid=$(launch "$a")
if wait_reports "$a" 6 40; then
    bad=$(check_layout "$a/hid/writes")
    [ -z "$bad" ] && pass "every report has the 65-byte layout" || fail "report layout: $bad"
    wrong=$(awk -v want="$desktop_bytes" 'substr($2, 5, 32) != want { print substr($2, 5, 32) }' \
        "$a/hid/writes" | sort -u)
    [ -z "$wrong" ] && pass "bytes 2-17 match the Linux end-to-end run ($desktop_bytes)" ||
        fail "bytes 2-17: $wrong, want $desktop_bytes"
    gaps=$(awk 'NR > 1 { print $1 - prev } { prev = $1 }' "$a/hid/writes" | tail -n +2)
    odd=$(echo "$gaps" | awk '$1 < 800 || $1 > 1600')
    [ -z "$odd" ] && pass "reports $(echo $gaps | tr ' ' ',') ms apart" ||
        fail "report gaps: $(echo $gaps | tr '\n' ' ')"
else
    fail "fewer than 6 reports in 40 s ($(reports "$a")); output: $(tail -n 5 "$a/out" 2>/dev/null)"
fi
grep -q "Program was not started by Task Scheduler." "$a/out" &&
    pass "standard output: not started by the task" || fail "no start line on standard output"

shot=$work/windows.png
import -window root -depth 8 "$shot" 2>/dev/null
if [ -s "$shot" ] && [ "$(convert "$shot" -format '%k' info: 2>/dev/null || echo 0)" -gt 50 ]; then
    pass "the window draws ($(convert "$shot" -format '%k' info:) colours on screen)"
    [ -n "${TARNIX_WINPRODUCT_SCREENSHOT:-}" ] && cp "$shot" "$TARNIX_WINPRODUCT_SCREENSHOT"
else
    fail "screenshot is empty"
fi
visible=$(xdotool search --onlyvisible --class 'tarnix.exe' 2>/dev/null | wc -l)
[ "$visible" -ge 1 ] && pass "window shown at start" || fail "no visible Tarnix window"

log=$(logfile)
if [ -n "$log" ]; then
    case $log in
    */AppData/Roaming/*/logDir/$(date +%Y-%m-%d).log) pass "log file ${log#"$WINEPREFIX"/}" ;;
    *) fail "log file in an unexpected place: $log" ;;
    esac
    pattern='^\[Debug\]-\[flie:[^ ]+    line:[0-9]+    datetime:[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]--------------------> '
    bad=$(tr -d '\r' <"$log" | grep -v '^$' | grep -c -v -E "$pattern")
    total=$(grep -c . "$log")
    # Multi-line messages continue on the next lines; the first line of each is checked.
    first=$(tr -d '\r' <"$log" | grep -c -E "$pattern")
    [ "$first" -gt 5 ] && pass "$first log entries in the line format ($total lines, $bad continuation lines)" ||
        fail "log lines do not match the format"
    grep -q "HWi32SDK init Over \[Successful\]" "$log" && pass "log: sensor library started" ||
        fail "log lacks the successful start of the sensor library"
    grep -q 'Sensor library: .*\\HWiNFO32\.dll' "$log" &&
        pass "log: the third-party library wins over hwsensors.dll" ||
        fail "log does not name HWiNFO32.dll as the library in use"
else
    fail "no log file under wine's AppData"
fi
# The Fahrenheit selector, clicked as a user would: the choice lands in the registry and the
# next reports carry bit 7 in both temperature bytes.
window=$(xdotool search --onlyvisible --class 'tarnix.exe' 2>/dev/null | head -n 1)
if [ -n "$window" ]; then
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 1052)) $((Y + 102)) click 1
    sent=$(reports "$a")
    wait_reports "$a" $((sent + 2)) 10
    reg=$("$wine" reg query 'HKCU\Software\MyCompanyKelmar\Tarnix\TempShowModel' /v Model 2>/dev/null | tr -d '\r')
    echo "$reg" | grep -q "Model.*REG_DWORD.*0x2" &&
        pass "unit setting in the registry: $(echo "$reg" | grep Model | xargs)" ||
        fail "no Fahrenheit in the registry after the click: $reg"
    last=$(tail -n 1 "$a/hid/writes" | cut -d' ' -f2)
    [ "${last:4:2}" = ad ] && [ "${last:20:2}" = bd ] && pass "reports after the click carry bit 7" ||
        fail "temperature bytes after the click: ${last:4:2} ${last:20:2}"
fi

# --- 2. a second copy ------------------------------------------------------------------------
(cd "$a/app" && HIDAPI_DOUBLE_DIR="Z:$a/hid" timeout 60 "$wine" "$a/app/Tarnix.exe" >"$work/second.out" 2>&1)
code=$?
[ "$code" -eq 255 ] && pass "a second copy exits with -1" || fail "second copy exit code $code"
[ -n "$(tarnix_pids)" ] && pass "the first copy keeps running" || fail "the first copy is gone"

# --- 2b. hot-plug through WM_DEVICECHANGE -----------------------------------------------------
# The display leaves the double's list and the windows are told, as Windows tells them; the
# window closes it at once rather than after a run of failed writes, and opens it on arrival.
notice() { "$wine" "$build/doubles/deviceNotice.exe" "$1" "$display_path" >/dev/null 2>&1; }
events_after() { awk -v t="$1" -v w="$2" '$1 >= t && $2 == w { print $1; exit }' "$a/hid/events" 2>/dev/null; }
: >"$a/hid/devices"
told=$(date +%s%3N)
notice remove
end=$((SECONDS + 10))
until [ -n "$(events_after "$told" close)" ] || [ $SECONDS -ge $end ]; do sleep 0.1; done
closed=$(events_after "$told" close)
if [ -n "$closed" ] && [ $((closed - told)) -lt 2000 ]; then
    pass "WM_DEVICECHANGE removal closes the display $((closed - told)) ms after the notice"
else
    fail "no close within 2 s of the removal notice (${closed:-none})"
fi
printf '5131 2007 %s\n' "$display_path" >"$a/hid/devices"
told=$(date +%s%3N)
notice arrive
sent=$(reports "$a")
end=$((SECONDS + 10))
until [ -n "$(events_after "$told" open)" ] || [ $SECONDS -ge $end ]; do sleep 0.1; done
opened=$(events_after "$told" open)
if [ -n "$opened" ] && wait_reports "$a" $((sent + 2)) 10; then
    pass "WM_DEVICECHANGE arrival opens it again $((opened - told)) ms after the notice, reports resume"
else
    fail "no open or no reports after the arrival notice"
fi
stop_all

# --- 3. the stored unit reaches the report ---------------------------------------------------
echo "Check 3: stored Fahrenheit"
f=$(stage fahrenheit sensors)
"$wine" reg add 'HKCU\Software\MyCompanyKelmar\Tarnix\TempShowModel' /v Model /t REG_DWORD /d 2 /f >/dev/null 2>&1
# The first report must not wait for the inventory: a wmic beside Tarnix.exe holds every
# query back until released, and the report has to come while it is held. How long the first
# report takes is a figure of the machine, printed here; bench/run-first-report.sh gives it
# for the Linux build.
cp "$build/doubles/wmic.exe" "$f/app/"
seen=$(log_lines)
started=$(date +%s%3N)
launch "$f" >/dev/null
if wait_reports "$f" 1 40; then
    after=$(($(head -n 1 "$f/hid/writes" | cut -d' ' -f1) - started))
    echo "  (first report $after ms after the start)"
    [ -f "$f/app/wmic-started" ] && ! log_since "$seen" | grep -q 'PC Hardware Info Get Over' &&
        pass "first report while the inventory is held back" ||
        fail "the inventory was not held back when the first report came"
    touch "$f/app/wmic-release"
    end=$((SECONDS + 40))
    while ! log_since "$seen" | grep -q 'PC Hardware Info Get Over' && [ $SECONDS -lt $end ]; do
        sleep 0.5
    done
    log_since "$seen" | grep -q 'PC Hardware Info Get Over' &&
        pass "the inventory finishes once released" || fail "no inventory after the release"
    first=$(head -n 1 "$f/hid/writes" | cut -d' ' -f2)
    [ "${first:4:2}" = ad ] && [ "${first:20:2}" = bd ] &&
        pass "Fahrenheit from the registry sets bit 7 (CPU ${first:4:2}, GPU ${first:20:2})" ||
        fail "temperature bytes ${first:4:2} ${first:20:2}, want ad bd"
else
    fail "no report with the unit stored as Fahrenheit"
fi
stop_all
"$wine" reg delete 'HKCU\Software\MyCompanyKelmar' /f >/dev/null 2>&1

# --- 4. no sensor library --------------------------------------------------------------------
echo "Check 4: no sensor library at all"
n=$(stage nolib)
pid=$(launch "$n")
# Start-up takes a few seconds under wine on a loaded machine; then a few seconds more pass
# in which a report would have come.
end=$((SECONDS + 30))
until grep -q "CANNOT LOAD DLL" "$n/out" 2>/dev/null || [ $SECONDS -ge $end ]; do sleep 0.5; done
sleep 4
grep -q "CANNOT LOAD DLL" "$n/out" && pass "prints CANNOT LOAD DLL" || fail "no CANNOT LOAD DLL line"
log=$(logfile)
grep -q "HWi32SDK init Over \[Failed\], errorCode: -111" "$log" 2>/dev/null &&
    pass "log: error -111" || fail "log lacks error -111"
[ "$(reports "$n")" -eq 0 ] && pass "no reports without the library" || fail "$(reports "$n") reports without the library"
[ -n "$(tarnix_pids)" ] && pass "still running without the library" || fail "stopped without the library"
stop_all

# --- 5. the start-up flag --------------------------------------------------------------------
echo "Check 5: ---StartupByTaskMinWindow"
h=$(stage hidden sensors)
launch "$h" ---StartupByTaskMinWindow >/dev/null
wait_reports "$h" 2 40 && pass "hidden copy feeds the display" || fail "hidden copy sends no reports"
visible=$(xdotool search --onlyvisible --class 'tarnix.exe' 2>/dev/null | wc -l)
[ "$visible" -eq 0 ] && pass "the flag keeps the window hidden" || fail "$visible visible Tarnix windows"
grep -q "Program was started by Task Scheduler." "$h/out" && pass "standard output: started by the task" ||
    fail "no task start line"

# --- 6. crash restart ------------------------------------------------------------------------
if [ -n "${TARNIX_WINPRODUCT_SKIP_CRASH:-}" ]; then
    echo "Check 6 skipped (TARNIX_WINPRODUCT_SKIP_CRASH)"
else
    echo "Check 6: an access violation after more than a minute (waits 62 s)"
    before=$(tarnix_pids)
    sleep 62
    echo crash >>"$h/sensors"
    end=$((SECONDS + 20))
    restarted=""
    while [ $SECONDS -lt $end ]; do
        now=$(tarnix_pids)
        if [ -n "$now" ] && [ "$now" != "$before" ] && ! echo "$now" | grep -qx "$before"; then
            restarted=$now
            break
        fi
        sleep 0.1
    done
    # The restarted copy must not crash again at once.
    cp "$work/desktop.sensors" "$h/sensors"
    if [ -n "$restarted" ]; then
        pass "a new copy started after the crash"
        # The crashed copy may take a moment to be gone.
        end=$((SECONDS + 15))
        while [ "$(tarnix_pids | wc -l)" -gt 1 ] && [ $SECONDS -lt $end ]; do sleep 0.5; done
        count=$(tarnix_pids | wc -l)
        [ "$count" -eq 1 ] || ps -eo pid,ppid,stat,args | grep -i -E 'tarnix|winedbg' | grep -v grep
        cmd=$(tr '\0' ' ' </proc/"$(tarnix_pids | head -n 1)"/cmdline 2>/dev/null)
        [ "$count" -eq 1 ] && pass "exactly one copy runs after the restart" || fail "$count copies after the restart"
        case $cmd in
        *StartupByTask*) fail "the restarted copy carries arguments: $cmd" ;;
        *) pass "the restarted copy has no arguments (${cmd% })" ;;
        esac
        grep -q "Program was not started by Task Scheduler." "$h/out" 2>/dev/null ||
            note "(the restarted copy's standard output is not inherited)"
        # It gathers the inventory before its window appears.
        end=$((SECONDS + 20))
        until xdotool search --onlyvisible --class 'tarnix.exe' >/dev/null 2>&1 || [ $SECONDS -ge $end ]; do
            sleep 0.5
        done
        visible=$(xdotool search --onlyvisible --class 'tarnix.exe' 2>/dev/null | wc -l)
        [ "$visible" -ge 1 ] && pass "the restarted copy shows its window (no start-up flag)" ||
            fail "the restarted copy shows no window"
    else
        fail "no new copy within 20 s of the crash"
    fi
fi
stop_all

# --- 7. which sensor library ------------------------------------------------------------------
# log_since LINES: the log's lines after the first LINES.

echo "Check 7: a 32-bit HWiNFO32.dll beside the 64-bit program"
w=$(stage wrongbits both)
# The machine field of the PE header, as a 32-bit build has it.
nt=$(od -An -tu4 -j60 -N4 "$w/app/HWiNFO32.dll" | tr -d ' ')
printf '\114\001' | dd of="$w/app/HWiNFO32.dll" bs=1 seek=$((nt + 4)) conv=notrunc status=none
before=$(log_lines)
launch "$w" >/dev/null
wait_reports "$w" 2 40 && pass "reports flow from hwsensors.dll" || fail "no reports beside a 32-bit HWiNFO32.dll"
# Read once: grep -q ends early, and under pipefail a writer cut off by that would count as failure.
since=$(log_since "$before")
grep -q 'HWiNFO32.dll beside the executable is built for 32-bit x86, this Tarnix for 64-bit x64: passed over' <<<"$since" &&
    pass "log says why the 32-bit library was passed over" || fail "no reason for passing over the 32-bit library"
grep -q 'Sensor library: .*\\hwsensors\.dll' <<<"$since" && pass "log: hwsensors.dll feeds the values" ||
    fail "log does not name hwsensors.dll"
stop_all

echo "Check 8: the unpacked 64-bit zip in an empty prefix, nothing added but the recording hidapi.dll"
u=$work/unzipped
mkdir -p "$u/hid"
(cd "$u" && cmake -E tar xf "$zip")
app=$(ls -d "$u"/Tarnix-*-win64 | head -n 1)
ls "$app/Tarnix.exe" "$app/hwsensors.dll" "$app/hidapi.dll" "$app/tarnix-sensors.exe" "$app/tarnix-http.dll" \
    "$app/configDir/appConfig.ini" "$app/licences/cpp-httplib-MIT.txt" >/dev/null 2>&1 &&
    pass "the zip holds Tarnix.exe, hwsensors.dll, hidapi.dll, tarnix-sensors.exe, tarnix-http.dll, configDir" ||
    fail "the zip lacks a file: $(ls "$app")"
[ -f "$app/HWiNFO32.dll" ] && fail "the zip carries HWiNFO32.dll"
cp "$build/doubles/hidapi-double/hidapi.dll" "$app/"
printf '5131 2007 %s\n' "$display_path" >"$u/hid/devices"
saved_prefix=$WINEPREFIX
export WINEPREFIX=$work/emptyprefix
"$wine" wineboot --init >/dev/null 2>&1
# Some load on the host, so that the usage the report carries is above zero.
busy_end=$((SECONDS + 12))
(while [ $SECONDS -lt $busy_end ]; do :; done) &
(cd "$app" && HIDAPI_DOUBLE_DIR="Z:$u/hid" exec "$wine" "$app/Tarnix.exe" >>"$u/out" 2>&1) &
if wait_reports "$u" 5 40; then
    gaps=$(awk 'NR > 1 { print $1 - prev } { prev = $1 }' "$u/hid/writes" | tail -n +2)
    odd=$(echo "$gaps" | awk '$1 < 800 || $1 > 1600')
    [ -z "$odd" ] && pass "reports from hwsensors.dll $(echo $gaps | tr ' ' ',') ms apart" ||
        fail "report gaps: $(echo $gaps | tr '\n' ' ')"
    usage=$(awk '{ print substr($2, 7, 2) }' "$u/hid/writes" | sort -u | grep -v -x 00 | head -n 1)
    [ -n "$usage" ] && pass "the reports carry the CPU usage (0x$usage = $((16#$usage)) %)" ||
        fail "every report has CPU usage 0"
    bad=$(check_layout "$u/hid/writes")
    [ -z "$bad" ] && pass "every report has the 65-byte layout" || fail "report layout: $bad"
else
    fail "the unpacked zip sends fewer than 5 reports in 40 s ($(reports "$u")); output: $(tail -n 5 "$u/out" 2>/dev/null)"
fi
grep -q "SDK HWiNFO -> INIT OK" "$u/out" && pass "standard output: the library started" ||
    fail "no INIT OK from hwsensors.dll: $(head -n 3 "$u/out")"
(cd "$app" && "$wine" "$app/tarnix-sensors.exe" >"$u/sensors.out" 2>/dev/null)
grep -q "$(printf 'reading\tCPU\tusage\tTotal CPU Usage\t')" "$u/sensors.out" &&
    grep -q "$(printf '^field\tcpuUsage\t')" "$u/sensors.out" &&
    pass "tarnix-sensors.exe lists the CPU usage reading and the twelve values" ||
    fail "tarnix-sensors.exe output: $(head -n 5 "$u/sensors.out")"
stop_all
export WINEPREFIX=$saved_prefix

# --- 9. the installer -------------------------------------------------------------------------
echo "Check 9: the 64-bit installer in an empty prefix"
msi=$(ls "$build"/Tarnix-*-win64.msi 2>/dev/null | head -n 1)
if [ -z "$msi" ]; then
    fail "no installer beside the zip"
else
    saved_prefix=$WINEPREFIX
    export WINEPREFIX=$work/msiprefix
    "$wine" wineboot --init >/dev/null 2>&1
    "$wine" msiexec /i "Z:$msi" /qn >/dev/null 2>&1
    installed="$WINEPREFIX/drive_c/Program Files/Tarnix"
    [ -f "$installed/Tarnix.exe" ] && [ -f "$installed/hwsensors.dll" ] && [ -f "$installed/LICENSE.txt" ] &&
        pass "msiexec /i installs into Program Files" || fail "installed: $(ls "$installed" 2>&1)"
    [ -n "$(find "$WINEPREFIX/drive_c" -name Tarnix.lnk)" ] && pass "a Start-menu shortcut" ||
        fail "no Start-menu shortcut"
    (cd "$installed" && "$wine" ./tarnix-sensors.exe >"$work/installed-sensors.out" 2>/dev/null)
    # Any CPU reading will do: on an idle host the usage can be under 1 % and is then not listed.
    grep -q "$(printf '^reading\tCPU\t')" "$work/installed-sensors.out" &&
        grep -q "$(printf '^field\tcpuUsage\t')" "$work/installed-sensors.out" &&
        pass "the installed tools run from Program Files" || fail "installed tarnix-sensors.exe gave nothing"
    "$wine" msiexec /x "Z:$msi" /qn >/dev/null 2>&1
    [ ! -e "$installed" ] && [ -z "$(find "$WINEPREFIX/drive_c" -name Tarnix.lnk)" ] &&
        pass "msiexec /x removes every installed file" || fail "left after removal: $(ls "$installed" 2>&1)"
    stop_all
    export WINEPREFIX=$saved_prefix
fi

# --- 10. the HTTP endpoint ---------------------------------------------------------------------
echo "Check 10: the endpoint switched on in the settings, asked by curl from Linux"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$wine" reg add 'HKCU\Software\MyCompanyKelmar\Tarnix\Endpoint' /v Listen /d "127.0.0.1:$port" /f >/dev/null 2>&1
e=$(stage endpoint sensors)
launch "$e" ---StartupByTaskMinWindow >/dev/null
if wait_reports "$e" 2 40; then
    metrics=$(curl -s -m 5 "127.0.0.1:$port/metrics")
    echo "$metrics" | grep -q -x 'tarnix_display_cpu_temperature_celsius 45.9' &&
        pass "/metrics carries the CPU temperature the report carries" ||
        fail "/metrics: $(echo "$metrics" | head -n 5)"
    echo "$metrics" | promtool check metrics >/dev/null 2>&1 && pass "promtool accepts /metrics" ||
        fail "promtool: $(echo "$metrics" | promtool check metrics 2>&1 | head -n 3)"
    curl -s -m 5 "127.0.0.1:$port/readings.json" |
        python3 -c 'import json, sys; d = json.load(sys.stdin); assert d["sensors"]' 2>/dev/null &&
        pass "/readings.json is JSON with the sensors" || fail "/readings.json is not the readings"
    status=$(curl -s -m 5 -o /dev/null -w '%{http_code}' -X POST "127.0.0.1:$port/metrics")
    [ "$status" = 405 ] && pass "POST answered 405" || fail "POST answered $status"
else
    fail "the copy with the endpoint sends no reports; output: $(tail -n 5 "$e/out" 2>/dev/null)"
fi
grep -q "Endpoint -> serving [a-z]*://127.0.0.1:$port/metrics" "$(logfile)" &&
    pass "log: the endpoint serves" || fail "log lacks the endpoint's line"
stop_all
"$wine" reg delete 'HKCU\Software\MyCompanyKelmar' /f >/dev/null 2>&1

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
