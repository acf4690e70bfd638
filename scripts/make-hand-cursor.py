#!/usr/bin/env python3
"""Draws Trellisane's hand pointer and writes it as a Windows pointer file (.cur).

Usage: scripts/make-hand-cursor.py [OUT]   (default: data/HAND-M.CUR beside this script's parent)

The pointer is 32x32 pixels, 32 bits per pixel with an alpha channel, plus the 1-bit AND mask
that older readers use. Its hotspot, stored in the directory entry where an icon keeps its
planes and bit count, is the tip of the index finger. The result is committed, so a build
never needs this script; run it again only to change the drawing. Standard library only.
"""

import os
import struct
import sys

SIZE = 32
# Where the drawing's top-left corner sits in the 32x32 image.
OFFSET_X, OFFSET_Y = 1, 1

# '#' outline, '.' fill, ' ' transparent. The top-left '#' of the index finger's tip is the
# hotspot: the pixel the pointer clicks with.
HAND = [
    "     ##          ",
    "    #..#         ",
    "    #..#         ",
    "    #..#         ",
    "    #..#         ",
    "    #..###       ",
    "    #..#..###    ",
    "    #..#..#..### ",
    "    #..#..#..#..#",
    " ## #..#..#..#..#",
    "#..##..#..#..#..#",
    "#...#...........#",
    " #..#...........#",
    " #..............#",
    "  #.............#",
    "  #.............#",
    "   #............#",
    "   #...........# ",
    "    #..........# ",
    "    #.........#  ",
    "     #........#  ",
    "     #........#  ",
    "     ##########  ",
]
TIP = (HAND[0].index("#"), 0)
HOTSPOT = (TIP[0] + OFFSET_X, TIP[1] + OFFSET_Y)

OUTLINE = (0x1B, 0x1F, 0x24, 0xFF)  # near-black, softer than pure black
FILL = (0xFF, 0xFF, 0xFF, 0xFF)
SHADOW = (0x00, 0x00, 0x00, 0x50)  # a faint drop shadow one pixel down and right
CLEAR = (0, 0, 0, 0)


def draw():
    """Returns SIZE rows of SIZE (r, g, b, a) pixels, top row first."""
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(HAND):
        for x, ch in enumerate(row):
            if ch != " ":
                pixels[y + OFFSET_Y][x + OFFSET_X] = OUTLINE if ch == "#" else FILL
    for y in range(SIZE - 1, 0, -1):
        for x in range(SIZE - 1, 0, -1):
            if pixels[y][x][3] == 0 and pixels[y - 1][x - 1] in (OUTLINE, FILL):
                pixels[y][x] = SHADOW
    return pixels


def encode_cur(pixels, hotspot):
    """A one-image .cur: ICONDIR, ICONDIRENTRY, BITMAPINFOHEADER, BGRA rows, AND mask."""
    xor = bytearray()
    for row in reversed(pixels):  # a DIB stores its bottom row first
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row_bytes = (SIZE + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # 1 in the AND mask: the screen shows through
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # The height of an icon's DIB counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    image = header + xor + mask
    icondir = struct.pack("<HHH", 0, 2, 1)  # reserved, type 2 = pointer, one image
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image),
                        6 + 16)
    return icondir + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "HAND-M.CUR")
    with open(out, "wb") as f:
        f.write(encode_cur(draw(), HOTSPOT))
    print(f"{out}: {SIZE}x{SIZE}, hotspot {HOTSPOT[0]},{HOTSPOT[1]}")


if __name__ == "__main__":
    main()
