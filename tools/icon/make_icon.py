#!/usr/bin/env python3
"""Draws the 16 x 16 window icon: a letter D in the run buttons' yellow on the window's own
black-to-magenta gradient, with a row of slot marks under it. Writes a binary PPM (P6), which
the build embeds as it is, so the program needs no image library for its icon.

Usage: make_icon.py OUTPUT.ppm
"""
import sys

SIZE = 16
LETTER = [  # 10 x 10, '#' marks the letter
    "#######...",
    "##....##..",
    "##.....##.",
    "##.....##.",
    "##.....##.",
    "##.....##.",
    "##.....##.",
    "##....##..",
    "#######...",
    "..........",
]


def pixel(x, y):
    k = (y + 1) / SIZE  # the gradient's band at this row
    bg = (round(255 * k), 0, round(255 * k))
    lx, ly = x - 3, y - 1
    if 0 <= lx < 10 and 0 <= ly < 10 and LETTER[ly][lx] == "#":
        return (255, 255, 0)
    if y == 13 and x % 4 in (1, 2):  # four slot marks, white like the map names
        return (255, 255, 255)
    return bg


def main():
    out = sys.argv[1]
    data = bytearray(b"P6\n%d %d\n255\n" % (SIZE, SIZE))
    for y in range(SIZE):
        for x in range(SIZE):
            data += bytes(pixel(x, y))
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
