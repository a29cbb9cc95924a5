#!/usr/bin/env bash
# Pictures of every window of the 64-bit VITRELL.exe at a DPI: the splash, the main window, the settings dialog and
# the version box, as out/dpiN/NAME.png (or in FOLDER), taken in a fresh Wine prefix of that DPI on a private X
# screen. Look at them after changing a layout, a font or an icon.
# usage: screenshots.sh [DPI] [FOLDER]   (default 144, out/dpiDPI)
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
dpi=${1:-144}
out=${2:-$src/out/dpi$dpi}
cross=$src/build/cross/win64
bash "$src/scripts/wine_deps.sh"
bash "$src/scripts/cross_build.sh" win64 "$cross" >/dev/null
work=$(mktemp -d)
cleanup() {
    bash "$src/scripts/e2e_env.sh" stop "$work/env" || true
    rm -rf "$work"
}
trap cleanup EXIT

x86_64-w64-mingw32-g++ -std=c++20 -O2 -DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 -municode -static -I"$src" \
    -o "$work/shoot.exe" "$src/scripts/shots/shoot.cpp" -lgdi32
cp "$cross/VITRELL.exe" "$work/"
cp -r "$cross/resource" "$work/"
bash "$src/scripts/e2e_env.sh" start "$work/env" >/dev/null
# shellcheck disable=SC1091
. "$work/env/env"
# A process reads the DPI when it starts: set before VITRELL.exe does. The splash shows; the window is centred.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
settings='HKCU\Software\VB and VBA Program Settings\VITRELL\Config'
for value in 'OptLogo 1' 'OptCent 1'; do
    set -- $value
    wine reg add "$settings" /v "$1" /d "$2" /f >/dev/null 2>&1
done
mkdir -p "$work/shots" "$out"
wine "$work/shoot.exe" "$(winepath -w "$work/VITRELL.exe")" "$(winepath -w "$work/shots")" 2>/dev/null | tr -d '\r'
for bmp in "$work"/shots/*.bmp; do
    convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
done
echo "pictures at $dpi dpi in $out"
