#!/usr/bin/env python3
"""Draws the pointing-hand cursor of the version box's links and writes it as resource/hand.cur.

A 32 x 32 monochrome cursor kept here as a pixel map so it can be read and changed in review.
"k" black, "w" white, "." transparent; the hot spot is the fingertip ("k" at HOT).
Run from anywhere: python3 scripts/make_cursor.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCE = os.path.join(HERE, "..", "resource")

HOT = (6, 1)  # (x, y) of the tip of the index finger

HAND = [
    "......kk........................",
    ".....kwwk.......................",
    ".....kwwk.......................",
    ".....kwwk.......................",
    ".....kwwk.......................",
    ".....kwwkkk.....................",
    ".....kwwkwwkkk..................",
    ".....kwwkwwkwwkk................",
    ".....kwwkwwkwwkwk...............",
    "..kk.kwwkwwkwwkwwk..............",
    "..kwkkwwwwwwwwkwwk..............",
    "..kwwkwwwwwwwwwwwk..............",
    "...kwkwwwwwwwwwwwk..............",
    "...kwwwwwwwwwwwwwk..............",
    "....kwwwwwwwwwwwwk..............",
    "....kwwwwwwwwwwwk...............",
    ".....kwwwwwwwwwwk...............",
    ".....kwwwwwwwwwwk...............",
    "......kwwwwwwwwk................",
    "......kwwwwwwwwk................",
    "......kkkkkkkkkk................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]


def _rows_to_mask(rows, bit_for):
    out = b""
    for row in reversed(rows):  # DIB rows run bottom-up
        bits = bytearray(4)
        for x, ch in enumerate(row):
            if bit_for(ch):
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def cur(rows, hot):
    size = len(rows)
    assert size == 32 and all(len(r) == 32 for r in rows), "the cursor is 32 x 32"
    assert rows[hot[1]][hot[0]] != ".", "the hot spot must lie on the hand"
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    xor = _rows_to_mask(rows, lambda ch: ch == "w")  # white where set, black where clear
    and_mask = _rows_to_mask(rows, lambda ch: ch == ".")  # the screen shows through where set
    image = header + palette + xor + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot[0], hot[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    os.makedirs(RESOURCE, exist_ok=True)
    with open(os.path.join(RESOURCE, "hand.cur"), "wb") as f:
        f.write(cur(HAND, HOT))


if __name__ == "__main__":
    main()
