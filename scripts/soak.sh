#!/usr/bin/env bash
# The soak run, a benchmark (figures, no CTest entry): the real 64-bit VITRELL.exe, tracking every second, on a
# desktop that keeps changing under the cursor while a driver uses it as a person would (scripts/soak/).
# Prints the time run and the windows churned; whether VITRELL was alive and answering at the end and the longest
# time it took to answer a sent and a posted message; its private memory and window count at the start and at the
# end (and every 10 s on the way); whether the store holds the level and switch it shows.
# Exits non-zero when VITRELL died, stopped answering or disagreed with its store.
# usage: soak.sh [SECONDS] [CROSS_BUILD_DIR]   (default 600 s, build/cross/win64, brought up
#   to date first; a directory given is the caller's, built only when VITRELL.exe is missing)
# Uses a fresh Wine prefix and X screen of its own (scripts/e2e_env.sh); VITRELL_E2E_DISPLAY=:N shows it on :N.
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
cross=${2:-$src/build/cross/win64}
if [ $# -lt 2 ] || [ ! -f "$cross/VITRELL.exe" ]; then
    bash "$src/scripts/cross_build.sh" win64 "$cross" >/dev/null
fi
work=$(mktemp -d)
sampler=
cleanup() {
    if [ -n "$sampler" ]; then kill "$sampler" 2>/dev/null || true; fi
    bash "$src/scripts/e2e_env.sh" stop "$work/env" || true
    rm -rf "$work"
}
trap cleanup EXIT

x86_64-w64-mingw32-g++ -std=c++20 -O2 -DNDEBUG -DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 -municode -static -I"$src" \
    -static-libgcc -static-libstdc++ -o "$work/soak_driver.exe" "$src/scripts/soak/soak_driver.cpp" -lgdi32 -ladvapi32
cp "$cross/VITRELL.exe" "$work/"
cp -r "$cross/resource" "$work/"

bash "$src/scripts/e2e_env.sh" start "$work/env" >/dev/null
# shellcheck disable=SC1091
. "$work/env/env"
# No splash, tracking every second, and the main window at the top right, clear of the windows that come and go.
settings='HKCU\Software\VB and VBA Program Settings\VITRELL'
for value in 'Config OptLogo 0' 'Config OptNin 1' 'Position T_Left 16500' 'Position T_Top 300'; do
    set -- $value
    wine reg add "$settings\\$1" /v "$2" /d "$3" /f >/dev/null 2>&1
done

# The unix process of this prefix's VITRELL.exe (not the driver, whose command line names it too).
vitrell_pid() {
    local p
    for p in $(pgrep -f 'VITRELL\.exe' || true); do
        if ! tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q soak_driver &&
            tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$p"
            return
        fi
    done
}
private_kb() {
    awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0
}

cd "$work"
pause=$work/pause
wine soak_driver.exe "$(winepath -w "$work/VITRELL.exe")" "$seconds" "$(winepath -w "$pause")" >"$work/driver.log" \
    2>/dev/null &
driver=$!
: >"$work/phases"
: >"$work/samples"
(
    while kill -0 $driver 2>/dev/null; do
        if [ -f "$pause" ]; then
            pid=$(vitrell_pid)
            echo "$(cat "$pause") ${pid:-none} $(private_kb "${pid:-0}")" >>"$work/phases"
            rm -f "$pause"
        fi
        now=$(date +%s)
        if [ -s "$work/phases" ] && [ $((now - ${last:-0})) -ge 10 ] && pid=$(vitrell_pid) && [ -n "$pid" ]; then
            echo "$(private_kb "$pid")" >>"$work/samples"
            last=$now
        fi
        sleep 0.2
    done
) &
sampler=$!
status=0
wait $driver || status=$?
kill "$sampler" 2>/dev/null || true
sampler=

tr -d '\r' <"$work/driver.log"
start_kb=$(awk '$1 == "start" {print $3}' "$work/phases")
end_kb=$(awk '$1 == "end" {print $3}' "$work/phases")
echo "private memory at start: ${start_kb:-?} kB, at end: ${end_kb:-?} kB"
awk '{printf "%s%.1f", NR == 1 ? "private memory every 10 s (MB): " : " ", $1 / 1024} END {if (NR) print ""}' \
    "$work/samples"
exit $status
