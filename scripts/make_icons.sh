#!/usr/bin/env bash
# Builds the program's icons, resource/NAME.ico, from two sources kept in the repository:
#   - the vector drawing resource/NAME.svg, rendered with rsvg-convert as 32-bit images with alpha at 16, 20, 24, 32,
#     40 and 48 px (toolbar icons) or 16, 20, 24, 32, 40, 48, 64 and 256 px (the program icon, vitrell.ico);
#   - the designed 16-colour pixel map of each picture (below, as text), which becomes the 4-bit (16-colour) entries
#     at 16 and 32 px for old systems and 16-colour displays: a 16 x 16 map is doubled by nearest neighbour for 32 px;
#     the program icon has a 32 x 32 map and a 16 x 16 one of its own (halved, the checker and the lines would merge).
# ImageMagick packs the entries: bitmaps up to 64 px (Windows 2000 and XP read only bitmaps), the 256-px one as PNG.
# Each file is checked (its directory read back with xxd, the 16-colour entries compared pixel by pixel with their
# maps) before it replaces the old one.
#
# Run by hand after changing a drawing or a map, from any folder: bash scripts/make_icons.sh
# Its output, the .ico files in resource/, is committed; the build only copies it and never runs this script.
# Needs rsvg-convert (Debian package librsvg2-bin), convert, identify and compare (imagemagick), xxd (xxd).
set -euo pipefail

need() {
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "make_icons.sh: '$1' is missing; it comes with the Debian package $2 (apt-get install -y $2)" >&2
    exit 1
}
need rsvg-convert librsvg2-bin
need convert imagemagick
need identify imagemagick
need compare imagemagick
need xxd xxd

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
resource=$(cd "$here/../resource" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

TOOLBAR_SIZES=(48 40 32 24 20 16)
PROGRAM_SIZES=(256 64 48 40 32 24 20 16)

# vitrell.svg holds a second drawing, "small", with every detail two grid units wide; it is used at these sizes, where
# the one-unit lines and checker squares of the 32-pixel picture would be half a pixel wide and blur into grey.
PROGRAM_SMALL_SIZES=" 16 20 24 "
printf '.large { display: none !important; }\n.small { display: inline !important; }\n' >"$work/small.css"

# The 16 colours of the standard Windows palette, one character a pixel in the maps below; "." is transparent.
declare -A COLOUR=(
    [k]="#000000" [m]="#800000" [g]="#008000" [o]="#808000" [n]="#000080" [p]="#800080" [t]="#008080" [s]="#C0C0C0"
    [d]="#808080" [r]="#FF0000" [G]="#00FF00" [y]="#FFFF00" [b]="#0000FF" [M]="#FF00FF" [c]="#00FFFF" [w]="#FFFFFF"
)

# The program's own icon: a window whose right half lets a checkered background show through.
APP_ICON=$(
    cat <<'EOF'
................................
................................
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..knwwnnnnnnnnnnnnnnnnnnswswsk..
..knnnnnnnnnnnnnnnnnnnnnnnnnnk..
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwddddddddwwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwddddddwwwwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwdddddddddwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwddddddddddwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwdddddwwwwwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwddddddddwwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwdddddddddddwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwddddddwwwwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwdddddddddwwwdcdcdcdcdcdcdk..
..kwwwwwwwwwwwwwcdcdcdcdcdcdck..
..kwwwwwwwwwwwwwdcdcdcdcdcdcdk..
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
................................
................................
................................
................................
EOF
)

# The same window at 16 x 16: the title bar, four lines of text and the checker, one pixel each.
APP_ICON_16=$(
    cat <<'EOF'
................
.kkkkkkkkkkkkkk.
.knwnnnnnnnswsk.
.kkkkkkkkkkkkkk.
.kwwwwwwcdcdcdk.
.kwdddwwdcdcdck.
.kwwwwwwcdcdcdk.
.kwddwwwdcdcdck.
.kwwwwwwcdcdcdk.
.kwdddwwdcdcdck.
.kwwwwwwcdcdcdk.
.kwddwwwdcdcdck.
.kwwwwwwcdcdcdk.
.kkkkkkkkkkkkkk.
................
................
EOF
)

# Toolbar pictures, 16 x 16. Level down and up are the same arrow turned over; "on" and "off" are the same lamp lit
# green or dark; every picture keeps a one-pixel margin so the buttons look alike.
ARROW_DOWN=$(
    cat <<'EOF'
................
................
.....kkkkkk.....
.....kbbbbk.....
.....kbbbbk.....
.....kbbbbk.....
.....kbbbbk.....
.kkkkkbbbbkkkkk.
..kbbbbbbbbbbk..
...kbbbbbbbbk...
....kbbbbbbk....
.....kbbbbk.....
......kbbk......
.......kk.......
................
................
EOF
)
ARROW_UP=$(tac <<<"$ARROW_DOWN")

PROPERTY=$(
    cat <<'EOF'
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwwk.
.kwddddddddddwk.
.kwwwwwwwwwwwwk.
.kwwwkkwwwwwwwk.
.kddkbbkddddddk.
.kwwwkkwwwwwwwk.
.kwwwwwwwwkkwwk.
.kddddddddkbbdk.
.kwwwwwwwwkkwwk.
.kwwkkwwwwwwwwk.
.kddkbbkddddddk.
.kwwkkwwwwwwwwk.
.kkkkkkkkkkkkkk.
................
EOF
)

LAMP=$(
    cat <<'EOF'
................
.....kkkkkk.....
...kkXXXXXXkk...
..kXXwwXXXXXXk..
..kXwwXXXXXXXk..
.kXXwXXXXXXXXXk.
.kXXXXXXXXXXXXk.
.kXXXXXXXXXXXXk.
.kXXXXXXXXXXXXk.
.kXXXXXXXXXXXXk.
..kXXXXXXXXXXk..
..kXXXXXXXXXXk..
...kkXXXXXXkk...
.....kkkkkk.....
................
................
EOF
)
ON=$(tr X G <<<"$LAMP")
OFF=$(tr Xw ds <<<"$LAMP")

HELP=$(
    cat <<'EOF'
................
.....kkkkkk.....
...kkbbbbbbkk...
..kbbbwwwwbbbk..
..kbbwwbbwwbbk..
.kbbbbbbbwwbbbk.
.kbbbbbbwwbbbbk.
.kbbbbbwwbbbbbk.
.kbbbbbwwbbbbbk.
.kbbbbbbbbbbbbk.
..kbbbbwwbbbbk..
..kbbbbwwbbbbk..
...kkbbbbbbkk...
.....kkkkkk.....
................
................
EOF
)

UNDO=$(
    cat <<'EOF'
................
................
....k...........
...kgk..........
..kgggkkkkkk....
.kgggggggggggk..
..kgggkkkkkkggk.
...kgk......kgk.
....k........kgk
.............kgk
.............kgk
............kggk
...kkkkkkkkkggk.
...kgggggggggk..
...kkkkkkkkkk...
................
EOF
)

# Writes a pixel map as XPM text, a format ImageMagick reads: a header, one line a colour, one line a row.
write_xpm() { # map, output file
    local map=$1 out=$2 height width keys key i
    local -a rows
    mapfile -t rows <<<"$map"
    height=${#rows[@]}
    width=${#rows[0]}
    for i in "${!rows[@]}"; do
        if ((${#rows[i]} != width)) || ((width != height)); then
            echo "make_icons.sh: the map for $out is not square (row $i)" >&2
            exit 1
        fi
    done
    keys=$(tr -d '\n' <<<"$map" | fold -w1 | LC_ALL=C sort -u | tr -d '\n')
    {
        echo '/* XPM */'
        echo 'static char *map[] = {'
        echo "\"$width $height ${#keys} 1\","
        for ((i = 0; i < ${#keys}; i++)); do
            key=${keys:i:1}
            if [[ $key == . ]]; then
                echo '". c None",'
            elif [[ -n ${COLOUR[$key]:-} ]]; then
                echo "\"$key c ${COLOUR[$key]}\","
            else
                echo "make_icons.sh: unknown colour '$key' in the map for $out" >&2
                exit 1
            fi
        done
        printf '"%s",\n' "${rows[@]}"
        echo '};'
    } >"$out"
}

# The bit count and size of each entry in an .ico, read from its directory, one "SIZE:BITS:KIND" a line.
ico_entries() {
    local file=$1 count i entry size bits offset kind
    entry=$(xxd -p -s 4 -l 2 "$file")
    count=$((16#${entry:2:2}${entry:0:2}))
    for ((i = 0; i < count; i++)); do
        entry=$(xxd -p -c 16 -s $((6 + 16 * i)) -l 16 "$file")
        size=$((16#${entry:0:2}))
        ((size == 0)) && size=256
        bits=$((16#${entry:14:2}${entry:12:2}))
        offset=$((16#${entry:30:2}${entry:28:2}${entry:26:2}${entry:24:2}))
        kind=bmp
        [[ $(xxd -p -s "$offset" -l 4 "$file") == 89504e47 ]] && kind=png
        echo "$size:$bits:$kind"
    done
}

# Renders NAME.svg at every size and packs it with the 16-colour images of its map into resource/NAME.ico.
make_icon() { # name, map, "toolbar" or "program", the program's 16 x 16 map
    local name=$1 map=$2 kind=$3 map16=${4:-} size classic classic16 classic32 expected actual i
    local -a sizes inputs small
    if [[ $kind == program ]]; then sizes=("${PROGRAM_SIZES[@]}"); else sizes=("${TOOLBAR_SIZES[@]}"); fi
    for size in "${sizes[@]}"; do
        small=()
        if [[ $kind == program && $PROGRAM_SMALL_SIZES == *" $size "* ]]; then small=(--stylesheet "$work/small.css"); fi
        rsvg-convert "${small[@]}" --width "$size" --height "$size" --output "$work/$name-$size.png" \
            "$resource/$name.svg"
        inputs+=("$work/$name-$size.png")
    done

    # The designed 16-colour images, unchanged maps resized by nearest neighbour; as palette images (PseudoClass)
    # of at most 16 colours, ImageMagick writes them as 4-bit bitmaps with the transparent pixels in the AND mask.
    write_xpm "$map" "$work/$name.xpm"
    classic16=$work/$name-classic16.miff
    classic32=$work/$name-classic32.miff
    if [[ $kind == program ]]; then
        write_xpm "$map16" "$work/$name-16.xpm"
        convert "$work/$name.xpm" -type PaletteAlpha "$classic32"
        convert "$work/$name-16.xpm" -type PaletteAlpha "$classic16"
    else
        convert "$work/$name.xpm" -scale 200% -type PaletteAlpha "$classic32"
        convert "$work/$name.xpm" -type PaletteAlpha "$classic16"
    fi
    inputs+=("$classic32" "$classic16")

    # 256 px and more go in as PNG by ImageMagick's own rule, smaller entries as bitmaps.
    convert "${inputs[@]}" -define png:format=png32 -define png:compression-level=9 -define png:exclude-chunks=date,time \
        "$work/$name.ico"

    expected=$(
        for size in "${sizes[@]}"; do
            if ((size >= 256)); then echo "$size:32:png"; else echo "$size:32:bmp"; fi
        done
        echo "32:4:bmp"
        echo "16:4:bmp"
    )
    actual=$(ico_entries "$work/$name.ico")
    if [[ $actual != "$expected" ]]; then
        echo "make_icons.sh: $name.ico came out with other entries (size:bits:kind) than wanted:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        exit 1
    fi
    # The 16-colour entries hold exactly their maps, transparent where the map has ".".
    i=${#sizes[@]}
    for classic in "$classic32" "$classic16"; do
        convert "$work/$name.ico[$i]" -alpha extract "$work/entry-alpha.png"
        convert "$classic" -alpha extract "$work/map-alpha.png"
        if ! compare -metric AE "$work/$name.ico[$i]" "$classic" null: 2>/dev/null ||
            ! compare -metric AE "$work/entry-alpha.png" "$work/map-alpha.png" null: 2>/dev/null; then
            echo "make_icons.sh: entry $i of $name.ico differs from its pixel map" >&2
            exit 1
        fi
        i=$((i + 1))
    done
    mv "$work/$name.ico" "$resource/$name.ico"
    echo "resource/$name.ico: $(wc -c <"$resource/$name.ico") bytes, $(tr '\n' ' ' <<<"$actual")"
}

make_icon vitrell "$APP_ICON" program "$APP_ICON_16"
make_icon arrow_down "$ARROW_DOWN" toolbar
make_icon arrow_up "$ARROW_UP" toolbar
make_icon property "$PROPERTY" toolbar
make_icon on "$ON" toolbar
make_icon off "$OFF" toolbar
make_icon help "$HELP" toolbar
make_icon undo "$UNDO" toolbar
