#!/usr/bin/env python3
"""Draws the program's icons and writes them as Windows .ico files.

The pictures are small pixel maps kept here as text, so every icon can be read and changed in review.
Run from anywhere: python3 scripts/make_icons.py  (writes into resource/).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCE = os.path.join(HERE, "..", "resource")

# The 16 colours of the standard Windows palette, index: (r, g, b).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One character a pixel in the maps below; "." is transparent.
KEYS = {
    "k": 0, "m": 1, "g": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "d": 8, "r": 9, "G": 10, "y": 11, "b": 12, "M": 13, "c": 14, "w": 15,
}


def _and_mask(rows, size):
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, ch in enumerate(row):
            if ch == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def ico_4bpp(rows):
    """A 16-colour icon from a square pixel map."""
    size = len(rows)
    assert all(len(r) == size for r in rows), "icon rows must form a square"
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    stride = ((size * 4 + 31) // 32) * 4
    xor = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            idx = 0 if ch == "." else KEYS[ch]
            line[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        xor += bytes(line)
    image = header + palette + xor + _and_mask(rows, size)
    return _container(size, 16, 4, image)


def ico_32bpp(pixels):
    """A true-colour icon with alpha from rows of (r, g, b, a) tuples."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row)
    rows = ["".join("." if a == 0 else "k" for (_, _, _, a) in row) for row in pixels]
    image = header + xor + _and_mask(rows, size)
    return _container(size, 0, 32, image)


def _container(size, colours, bpp, image):
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(image), 6 + 16)
    return directory + entry + image


# The program's own icon: a window whose right half lets a checkered background show through.
APP_ICON = [
    "................................",
    "................................",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..knnnnnnnnnnnnnnnnnnnnnnnnnnk..",
    "..knwwnnnnnnnnnnnnnnnnnnswswsk..",
    "..knnnnnnnnnnnnnnnnnnnnnnnnnnk..",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwddddddddwwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwddddddwwwwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwdddddddddwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwddddddddddwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwdddddwwwwwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwddddddddwwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwdddddddddddwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwddddddwwwwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwdddddddddwwwdcdcdcdcdcdcdk..",
    "..kwwwwwwwwwwwwwcdcdcdcdcdcdck..",
    "..kwwwwwwwwwwwwwdcdcdcdcdcdcdk..",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "................................",
    "................................",
    "................................",
    "................................",
]


# Toolbar pictures, 16 x 16. Level down and up are the same arrow turned over; "on" and "off" are the
# same lamp lit green or dark; every picture keeps a one-pixel margin so the buttons look alike.
ARROW_DOWN = [
    "................",
    "................",
    ".....kkkkkk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".....kbbbbk.....",
    ".kkkkkbbbbkkkkk.",
    "..kbbbbbbbbbbk..",
    "...kbbbbbbbbk...",
    "....kbbbbbbk....",
    ".....kbbbbk.....",
    "......kbbk......",
    ".......kk.......",
    "................",
    "................",
]
ARROW_UP = list(reversed(ARROW_DOWN))

PROPERTY = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kwddddddddddwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwwwkkwwwwwwwk.",
    ".kddkbbkddddddk.",
    ".kwwwkkwwwwwwwk.",
    ".kwwwwwwwwkkwwk.",
    ".kddddddddkbbdk.",
    ".kwwwwwwwwkkwwk.",
    ".kwwkkwwwwwwwwk.",
    ".kddkbbkddddddk.",
    ".kwwkkwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

LAMP = [
    "................",
    ".....kkkkkk.....",
    "...kkXXXXXXkk...",
    "..kXXwwXXXXXXk..",
    "..kXwwXXXXXXXk..",
    ".kXXwXXXXXXXXXk.",
    ".kXXXXXXXXXXXXk.",
    ".kXXXXXXXXXXXXk.",
    ".kXXXXXXXXXXXXk.",
    ".kXXXXXXXXXXXXk.",
    "..kXXXXXXXXXXk..",
    "..kXXXXXXXXXXk..",
    "...kkXXXXXXkk...",
    ".....kkkkkk.....",
    "................",
    "................",
]
ON = [row.replace("X", "G") for row in LAMP]
OFF = [row.replace("X", "d").replace("w", "s") for row in LAMP]

HELP = [
    "................",
    ".....kkkkkk.....",
    "...kkbbbbbbkk...",
    "..kbbbwwwwbbbk..",
    "..kbbwwbbwwbbk..",
    ".kbbbbbbbwwbbbk.",
    ".kbbbbbbwwbbbbk.",
    ".kbbbbbwwbbbbbk.",
    ".kbbbbbwwbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    "..kbbbbwwbbbbk..",
    "..kbbbbwwbbbbk..",
    "...kkbbbbbbkk...",
    ".....kkkkkk.....",
    "................",
    "................",
]

UNDO = [
    "................",
    "................",
    "....k...........",
    "...kgk..........",
    "..kgggkkkkkk....",
    ".kgggggggggggk..",
    "..kgggkkkkkkggk.",
    "...kgk......kgk.",
    "....k........kgk",
    ".............kgk",
    ".............kgk",
    "............kggk",
    "...kkkkkkkkkggk.",
    "...kgggggggggk..",
    "...kkkkkkkkkk...",
    "................",
]

TOOLBAR_ICONS = {
    "arrow_down.ico": ARROW_DOWN,
    "arrow_up.ico": ARROW_UP,
    "property.ico": PROPERTY,
    "on.ico": ON,
    "off.ico": OFF,
    "help.ico": HELP,
    "undo.ico": UNDO,
}


def write(name, data):
    os.makedirs(RESOURCE, exist_ok=True)
    with open(os.path.join(RESOURCE, name), "wb") as f:
        f.write(data)


def main():
    write("vitrell.ico", ico_4bpp(APP_ICON))
    for name, rows in TOOLBAR_ICONS.items():
        write(name, ico_4bpp(rows))


if __name__ == "__main__":
    main()
