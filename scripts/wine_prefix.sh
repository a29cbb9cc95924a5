#!/usr/bin/env bash
# Makes a fresh Wine prefix for VITRELL: Japanese font replacements, no Mono/Gecko prompts, and either one
# virtual desktop "shell" (the end-to-end tests: title bars hit-test as on Windows) or Wine's own title bars
# on a composited X screen (the headless run, where transparency shows on a screenshot).
# usage: wine_prefix.sh PREFIX_DIR desktop|decorated|plain   (plain: fonts only, for a desktop with a window manager)
# Extra .reg lines (UTF-8, without the header) may come on stdin when $VITRELL_EXTRA_REG is "-".
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
prefix=$1
mode=${2:-desktop}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

rm -rf "$prefix"
mkdir -p "$prefix"
# No display is needed to create the prefix; a stray DISPLAY would only slow wineboot down.
DISPLAY= wineboot -i >/dev/null 2>&1
wineserver -w
# Debian's Wine 8 does not look into its own font folder, so caption buttons and check marks (drawn with
# Marlett) come out as letters; the prefix's Fonts folder is always searched.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
fi

reg=$prefix/vitrell-setup.reg
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"MS UI Gothic"="IPAPGothic"\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
    printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
    printf '"ＭＳ Ｐ明朝"="IPAPMincho"\r\n'
    printf '"ＭＳ 明朝"="IPAMincho"\r\n'
    printf '"MS PGothic"="IPAPGothic"\r\n'
    printf '"MS Gothic"="IPAGothic"\r\n'
    printf '"MS PMincho"="IPAPMincho"\r\n'
    printf '"MS Mincho"="IPAMincho"\r\n\r\n'
    case $mode in
        desktop)
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="shell"\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"shell"="1280x1024"\r\n\r\n'
            ;;
        decorated)
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n\r\n'
            ;;
        plain) ;;
        *) echo "unknown mode: $mode" >&2; exit 2 ;;
    esac
    if [ "${VITRELL_EXTRA_REG:-}" = "-" ]; then
        sed 's/$/\r/'
    fi
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
DISPLAY= wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
