#!/usr/bin/env bash
# The main window's benchmark under Wine (figures only, it never fails on them):
#   - start-up to the first visible frame against a minimal window program built the same way (MinGW-w64, -O3,
#     static);
#   - the program's objects and private memory after start-up, after 1,000 level steps and after 100 toggles (they
#     must not grow with the count);
#   - the idle cost: VITRELL.exe and a bare program with only the two timers such a program needs, side by side in one
#     prefix with the cursor parked on the bare desktop, for 120 s: both CPU times, their ratio, both resident sizes.
# usage: bench_mainwin.sh [CROSS_BUILD_DIR]   (default build/cross/win64, brought up to date first: figures of an
#   old exe would mislead; a directory given is the caller's, used as it is, built only when VITRELL.exe is missing)
# BENCH_QUICK=1 runs every section with small counts (a few seconds): the test that keeps this script working.
# Uses its own Wine prefix and X display unless WINEPREFIX and DISPLAY are set.
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cross=${1:-$src/build/cross/win64}
if [ $# = 0 ] || [ ! -f "$cross/VITRELL.exe" ]; then
    bash "$src/scripts/cross_build.sh" win64 "$cross" >/dev/null
fi
if [ "${BENCH_QUICK:-0}" = 1 ]; then
    runs=1 steps=100 toggles=10 idle=3
else
    runs=${BENCH_RUNS:-7} steps=1000 toggles=100 idle=${BENCH_IDLE_SECONDS:-120}
fi
work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

flags=(-std=c++20 -O3 -DNDEBUG -DUNICODE -D_UNICODE -municode -static -static-libgcc -static-libstdc++)
x86_64-w64-mingw32-g++ "${flags[@]}" -mwindows -o "$work/minimal.exe" "$src/scripts/bench_mainwin/minimal_window.cpp"
x86_64-w64-mingw32-g++ "${flags[@]}" -mwindows -o "$work/idle_bare.exe" "$src/scripts/bench_mainwin/idle_bare.cpp"
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

# The unix process of a program of this prefix (other Wine prefixes may run their own copy).
pid_of() {
    local p
    for p in $(pgrep -f "$1" || true); do
        if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$p"
            return
        fi
    done
}
# CPU time in ms of every thread of the process, from the scheduler's nanosecond counters: over two minutes the
# 10 ms ticks of /proc/PID/stat come to about 50 per program, too coarse for a ratio near 1.
cpu_ms() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns / 1000000}'; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo "?"; }

cd "$work"
vitrell=$(wine bench_driver.exe startup "$(winepath -w "$work/VITRELL.exe")" VITRELL "$runs" | tr -d '\r')
minimal=$(wine bench_driver.exe startup "$(winepath -w "$work/minimal.exe")" MinimalWindow "$runs" | tr -d '\r')
echo "== main window: start-up to the first visible frame (Wine, $runs runs)"
echo "VITRELL.exe  $vitrell"
echo "minimal.exe  $minimal"
v=$(echo "$vitrell" | awk '{print $2}')
m=$(echo "$minimal" | awk '{print $2}')
awk -v v="$v" -v m="$m" 'BEGIN { printf "ratio (median VITRELL / median minimal) %.2f\n", v / m }'

echo "== main window: objects and memory after start-up, $steps level steps, $toggles toggles"
echo "   (gdi/user: GetGuiResources, which Wine leaves at 0; windows: the program's windows and children;"
echo "    private_kb/rss_kb: the Wine process's private and resident memory read from /proc)"
pause=$work/pause
wine bench_driver.exe resources "$(winepath -w "$work/VITRELL.exe")" "$(winepath -w "$pause")" "$steps" "$toggles" \
    >"$work/resources.log" 2>&1 &
driver=$!
: >"$work/memory.log"
for _ in 1 2 3; do
    for _ in $(seq 3000); do [ -f "$pause" ] && break; kill -0 $driver 2>/dev/null || break; sleep 0.01; done
    [ -f "$pause" ] || break
    pid=$(pid_of 'VITRELL\.exe')
    private=$(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo "?")
    echo "$(cat "$pause") private_kb $private rss_kb $(rss_kb "$pid")" >>"$work/memory.log"
    rm -f "$pause"
done
wait $driver || true
tr -d '\r' <"$work/resources.log"
cat "$work/memory.log"

echo "== idle: VITRELL.exe beside a bare program with the same two timers, cursor on the bare desktop, ${idle} s"
wine bench_driver.exe park 100 100 || echo "(the cursor could not be parked)"
wine VITRELL.exe >/dev/null 2>&1 &
wine idle_bare.exe >/dev/null 2>&1 &
for _ in $(seq 200); do
    vp=$(pid_of 'VITRELL\.exe')
    bp=$(pid_of 'idle_bare\.exe')
    [ -n "$vp" ] && [ -n "$bp" ] && break
    sleep 0.05
done
sleep 3  # past start-up: only the idle ticks are measured
v0=$(cpu_ms "$vp") b0=$(cpu_ms "$bp")
sleep "$idle"
v1=$(cpu_ms "$vp") b1=$(cpu_ms "$bp")
printf 'VITRELL.exe    cpu_s %.3f rss_kb %s\n' "$(awk -v a="$v0" -v b="$v1" 'BEGIN {print (b - a) / 1000}')" "$(rss_kb "$vp")"
printf 'idle_bare.exe  cpu_s %.3f rss_kb %s\n' "$(awk -v a="$b0" -v b="$b1" 'BEGIN {print (b - a) / 1000}')" "$(rss_kb "$bp")"
awk -v v=$((v1 - v0)) -v b=$((b1 - b0)) 'BEGIN {
    if (b > 0) printf "cpu ratio (VITRELL / bare) %.2f\n", v / b; else print "cpu ratio (VITRELL / bare) n/a (no cpu measured)" }'
kill "$vp" "$bp" 2>/dev/null || true
