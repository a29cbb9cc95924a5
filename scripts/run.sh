#!/usr/bin/env bash
# The run command: installs what is missing, builds the 64-bit VITRELL.exe and runs it under Wine.
#   With a DISPLAY: on that desktop, in the prefix build/run/prefix (kept between runs, so settings persist).
#   Without one (or with --headless): on a private composited X screen, next to Wine's notepad; the cursor goes
#   to notepad's title bar, and once VITRELL has made it 20 % transparent a screenshot is saved to
#   out/vitrell-headless.png, in which the picture behind notepad shows through it.
# Run it as root on Debian 12 (or with sudo at hand).
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cross=$src/build/cross/win64
headless=false
if [ "${1:-}" = "--headless" ] || [ -z "${DISPLAY:-}" ]; then
    headless=true
fi

bash "$src/scripts/wine_deps.sh"
bash "$src/scripts/cross_build.sh" win64 "$cross"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ $headless = false ]; then
    export WINEPREFIX=$src/build/run/prefix
    [ -f "$WINEPREFIX/system.reg" ] || bash "$src/scripts/wine_prefix.sh" "$WINEPREFIX" plain
    cd "$cross"
    exec wine VITRELL.exe
fi

run=$src/build/headless
out=$src/out
mkdir -p "$run" "$out"
export WINEPREFIX=$run/prefix
pids=()
cleanup() {
    wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Notepad at a known place, over part of the picture and part of the bare desktop.
notepad_x=300 notepad_y=220 notepad_w=600 notepad_h=420
hex() { printf 'dword:%08x' "$1"; }
VITRELL_EXTRA_REG=- bash "$src/scripts/wine_prefix.sh" "$WINEPREFIX" decorated <<REG
[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]
"iWindowPosX"=$(hex $notepad_x)
"iWindowPosY"=$(hex $notepad_y)
"iWindowPosDX"=$(hex $notepad_w)
"iWindowPosDY"=$(hex $notepad_h)

REG

# A screen with the Composite extension and a compositor: only then does a layered window show what lies
# behind it on a screenshot.
Xvfb -displayfd 3 -screen 0 1024x768x24 +extension Composite -nolisten tcp 3>"$run/display" >"$run/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
[ -s "$run/display" ] || { echo "Xvfb did not start" >&2; cat "$run/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$run/display")
xcompmgr >"$run/xcompmgr.log" 2>&1 &
pids+=($!)

# Something to see through notepad: a picture on the desktop, under notepad's right half.
convert -size 48x48 xc:'#1f5fbf' -size 48x48 xc:'#ffd23f' +append \( +clone -flop \) -append \
    -write mpr:tile +delete -size 640x480 tile:mpr:tile "$run/picture.png"
display -geometry +20+40 -title picture "$run/picture.png" &
pids+=($!)
xdotool search --sync --name '^picture$' >/dev/null

cd "$cross"
wine VITRELL.exe >"$run/vitrell.log" 2>&1 &
wine notepad >"$run/notepad.log" 2>&1 &
notepad=$(xdotool search --sync --onlyvisible --class notepad | head -n1)
# VITRELL's main window appears after its splash.
xdotool search --sync --onlyvisible --name '^ビトレル$' >/dev/null

# The cursor onto notepad's title bar (Wine draws it inside the window: Decorated=N).
eval "$(xdotool getwindowgeometry --shell "$notepad")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 10))

# Wine gives a layered window's alpha to the compositor as _NET_WM_WINDOW_OPACITY (alpha × 0x01010101).
want=$((204 * 0x01010101))
ok=false
for _ in $(seq 100); do
    if xprop -id "$notepad" _NET_WM_WINDOW_OPACITY 2>/dev/null | grep -q "= $want\$"; then
        ok=true
        break
    fi
    sleep 0.1
done
sleep 0.5  # one more frame of the compositor
import -window root "$out/vitrell-headless.png"
if [ $ok = false ]; then
    echo "notepad did not become 20 % transparent: $(xprop -id "$notepad" _NET_WM_WINDOW_OPACITY)" >&2
    exit 1
fi
echo "notepad is 20 % transparent (alpha 204); screenshot: $out/vitrell-headless.png"
