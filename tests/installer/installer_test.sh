#!/usr/bin/env bash
# The setups of scripts/release.sh hold the zips' files (the 32-bit one is checked statically) and the manifests'
# hashes are right; under Wine the 64-bit setup installs, upgrades and uninstalls as the README says.
# usage: installer_test.sh CROSS_ROOT WORK_DIR   (CROSS_ROOT/win64 and win32 hold the cross builds)
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/../../scripts/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
dist=$work/dist
fail() { echo "FAIL: $*" >&2; exit 1; }
poll() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; fail "waited 30 s for: $*"; }

bash "$src/scripts/release.sh" "$1" "$dist" >/dev/null
version=$(sed -n 's/^project(VITRELL VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
setup=$dist/VITRELL-$version-win64-setup.exe
[ "$(stat -c %s "$setup")" -lt 614400 ] || fail "the 64-bit setup is 600 KB or more"
for row in "win64 PE32+ executable (GUI) x86-64" "win32 PE32 executable (GUI) Intel 80386"; do
    name=VITRELL-$version-${row%% *} kind=${row#* }
    file -b "$dist/$name-setup.exe" | grep -q "^$kind" || fail "$name-setup.exe is not a $kind"
    7z e -so "$dist/$name-setup.exe" VITRELL.exe | file -b - | grep -q "^$kind" || fail "$name-setup.exe: no $kind exe"
    in_zip=$(unzip -Z1 "$dist/$name.zip" | grep -v '/$' | sed "s|^$name/||" | sort)
    in_setup=$(7z l -slt "$dist/$name-setup.exe" | sed -n 's/^Path = //p' |
        grep -v '^/\|^.PLUGINSDIR/\|^uninstall.exe$' | sort)
    [ "$in_zip" = "$in_setup" ] || fail "$name-setup.exe does not hold the zip's files: $in_setup"
done
# Each manifest's hash is the hash of the file it names.
check_hash() { [ "$(sha256sum "$dist/${1##*/}" | cut -d' ' -f1)" = "${2,,}" ] || fail "manifest hash of ${1##*/}"; }
while read -r url && read -r hash; do
    check_hash "$url" "$hash"
done < <(sed -n 's/.*InstallerUrl: //p; s/.*InstallerSha256: //p' "$dist"/winget/*/*/*.installer.yaml)
scoop=$dist/scoop/vitrell.json
check_hash "$(sed -n 's/.*"url": "\(.*\)".*/\1/p' "$scoop")" "$(sed -n 's/.*"hash": "\(.*\)".*/\1/p' "$scoop")"

# A private prefix with Wine's own title bars on a private X screen: each window is an X window of its own.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
bash "$src/scripts/wine_prefix.sh" "$WINEPREFIX" decorated
pids=()
trap 'wineserver -k 2>/dev/null || true; kill "${pids[@]}" 2>/dev/null || true' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
poll test -s "$work/display"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

# /D= and _?= take the rest of the command line as it stands, spaces and all, never in quotes.
folder_words=('C:\other' folder)
folder=${folder_words[*]}
inst=$WINEPREFIX/drive_c/other\ folder
programs=("$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)
menu=${programs[0]}/VITRELL.lnk
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VITRELL'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\VB and VBA Program Settings\VITRELL'
value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
install() { wine "$setup" /S "/D=${folder_words[0]}" "${folder_words[@]:1}"; }
state() { (cd "$WINEPREFIX/drive_c" && find "${inst#*drive_c/}" -type f -exec md5sum {} + | sort; ls "$menu") 2>&1
    wine reg query "$uninstall_key" 2>&1; value "$run_key" VITRELL; }

install || fail "the silent install ended with $?"
[ "$(cd "$inst" && find . -type f | sed 's|^\./||' | sort)" = "$(printf '%s\nuninstall.exe' "$in_zip" | sort)" ] ||
    fail "installed files: $(ls -R "$inst")"
[ -f "$menu" ] && [ -z "$(find "$WINEPREFIX/drive_c/users" -path '*Desktop/VITRELL.lnk')" ] || fail "shortcuts"
[ "$(value "$run_key" VITRELL)" = "\"$folder\\VITRELL.exe\"" ] || fail "Run value: $(value "$run_key" VITRELL)"
for row in "DisplayVersion=$version" "InstallLocation=$folder" "UninstallString=\"$folder\\uninstall.exe\"" \
    "QuietUninstallString=\"$folder\\uninstall.exe\" /S" "DisplayIcon=$folder\\VITRELL.exe,0" NoModify=0x1 \
    NoRepair=0x1 "Publisher=VITRELL developers" "DisplayName=VITRELL for Windows"; do
    [ "$(value "$uninstall_key" "${row%%=*}")" = "${row#*=}" ] || fail "uninstall entry: ${row%%=*}"
done
[ "$(value "$uninstall_key" EstimatedSize)" != 0x0 ] || fail "no EstimatedSize"

# The installed VITRELL makes notepad 20 % transparent once the cursor rests on its title bar (Wine hands the
# alpha of a layered window to X as _NET_WM_WINDOW_OPACITY).
(cd / && exec wine "$inst/VITRELL.exe") >"$work/vitrell.log" 2>&1 &
vitrell=$!
wine notepad >/dev/null 2>&1 &
pids+=($!)
notepad_window() { notepad=$(xdotool search --onlyvisible --class notepad | head -n1) && [ -n "$notepad" ]; }
poll notepad_window
poll eval "xdotool search --onlyvisible --name '^ビトレル\$' >/dev/null"
eval "$(xdotool getwindowgeometry --shell "$notepad")"
xdotool windowraise "$notepad" mousemove $((X + WIDTH / 2)) $((Y + 10))
see_through() { xprop -id "$notepad" _NET_WM_WINDOW_OPACITY | grep -q "= $((204 * 0x01010101))\$"; }
poll see_through

# While it runs, neither a setup nor the uninstaller (run in place) touches anything, and a silent one says so.
before=$(state)
[ "$(install; echo $?)" = 2 ] || fail "an install while VITRELL runs did not end with 2"
[ "$(wine "$inst/uninstall.exe" /S "_?=${folder_words[0]}" "${folder_words[@]:1}"; echo $?)" = 2 ] ||
    fail "an uninstall while VITRELL runs did not end with 2"
[ "$(state)" = "$before" ] || fail "a stopped run changed: $(diff <(echo "$before") <(state))"
wine taskkill /f /im VITRELL.exe >/dev/null 2>&1
ended() { ! kill -0 "$vitrell" 2>/dev/null; }
poll ended

# An upgrade keeps the settings and the Run choice, off or on.
wine reg add "$settings_key\\Config" /v InstallerTest /d kept /f >/dev/null
for run in off on; do
    if [ $run = off ]; then wine reg delete "$run_key" /v VITRELL /f >/dev/null; fi
    install || fail "the upgrade ended with $?"
    [ -n "$(value "$run_key" VITRELL)" ] && now=on || now=off
    [ "$now" = $run ] || fail "the upgrade turned the Run value $now"
    [ "$(value "$settings_key\\Config" InstallerTest)" = kept ] || fail "the upgrade lost the settings"
    if [ $run = off ]; then wine reg add "$run_key" /v VITRELL /d "\"$folder\\VITRELL.exe\"" /f >/dev/null; fi
done

# The silent uninstaller runs on from a copy of itself: wait until its work is done.
wine "$inst/uninstall.exe" /S
gone() { [ ! -e "$inst" ] && ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
poll gone
[ ! -e "$menu" ] && [ -z "$(value "$run_key" VITRELL)" ] || fail "the uninstaller left the shortcut or Run value"
[ "$(value "$settings_key\\Config" InstallerTest)" = kept ] || fail "the silent uninstall removed the settings"
echo "installer.win64: passed"
