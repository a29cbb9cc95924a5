#!/usr/bin/env bash
# The main window's benchmark under Wine: start-up to the first visible frame against a minimal Win32 window
# program built the same way (MinGW-w64, -O3, static), and the program's objects and private memory after
# start-up, after 1,000 level steps and after 100 toggles (they must not grow with the count).
# usage: bench_mainwin.sh [CROSS_BUILD_DIR]   (default build/cross/win64; builds it when VITRELL.exe is missing)
# Uses its own Wine prefix and X display unless WINEPREFIX and DISPLAY are set.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cross=${1:-$src/build/cross/win64}
[ -f "$cross/VITRELL.exe" ] || bash "$src/scripts/cross_build.sh" win64 "$cross"
work=$(mktemp -d)
trap 'WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; [ -n "${xvfb:-}" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT

flags=(-std=c++20 -O3 -DNDEBUG -DUNICODE -D_UNICODE -municode -static -static-libgcc -static-libstdc++)
x86_64-w64-mingw32-g++ "${flags[@]}" -mwindows -o "$work/minimal.exe" "$src/scripts/bench_mainwin/minimal_window.cpp"
x86_64-w64-mingw32-g++ "${flags[@]}" -o "$work/bench_driver.exe" "$src/scripts/bench_mainwin/bench_driver.cpp" -lpsapi
cp "$cross/VITRELL.exe" "$work/"
cp -r "$cross/resource" "$work/"

if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX=$work/prefix
    bash "$src/scripts/wine_prefix.sh" "$WINEPREFIX" desktop
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display")
fi
wineserver -p
wine cmd.exe /c exit >/dev/null 2>&1 || true  # the desktop comes up once, outside the measurement
settings='HKCU\Software\VB and VBA Program Settings\VITRELL\Config'
wine reg add "$settings" /v OptLogo /d 0 /f >/dev/null 2>&1  # the splash would be timed, not the window

cd "$work"
runs=${BENCH_RUNS:-7}
vitrell=$(wine bench_driver.exe startup "$(winepath -w "$work/VITRELL.exe")" VITRELL "$runs" | tr -d '\r')
minimal=$(wine bench_driver.exe startup "$(winepath -w "$work/minimal.exe")" MinimalWindow "$runs" | tr -d '\r')
echo "== main window: start-up to the first visible frame (Wine, $runs runs)"
echo "VITRELL.exe  $vitrell"
echo "minimal.exe  $minimal"
v=$(echo "$vitrell" | awk '{print $2}')
m=$(echo "$minimal" | awk '{print $2}')
awk -v v="$v" -v m="$m" 'BEGIN { printf "ratio (median VITRELL / median minimal) %.2f\n", v / m }'
echo "== main window: objects and memory after start-up, 1,000 level steps, 100 toggles"
echo "   (gdi/user: GetGuiResources, which Wine leaves at 0; windows: the program's windows and children;"
echo "    private_kb/rss_kb: the Wine process's private and resident memory read from /proc)"
pause=$work/pause
wine bench_driver.exe resources "$(winepath -w "$work/VITRELL.exe")" "$(winepath -w "$pause")" >"$work/resources.log" 2>&1 &
driver=$!
for phase in 1 2 3; do
    for _ in $(seq 3000); do [ -f "$pause" ] && break; kill -0 $driver 2>/dev/null || break; sleep 0.01; done
    [ -f "$pause" ] || break
    pid=
    for p in $(pgrep -f 'VITRELL\.exe' || true); do
        # Ours: the one in this prefix (other Wine prefixes may run their own VITRELL.exe).
        if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then pid=$p; break; fi
    done
    private=$(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo "?")
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo "?")
    echo "$(cat "$pause") private_kb $private rss_kb $rss" >>"$work/memory.log"
    rm -f "$pause"
done
wait $driver || true
tr -d '\r' <"$work/resources.log"
cat "$work/memory.log"
