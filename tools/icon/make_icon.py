#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program's icon: a letter D in the run buttons' yellow on the window's own
black-to-magenta gradient, with a row of slot marks under it, drawn on a 16 x 16 grid and
scaled by whole numbers, so that every size shows the same pixels (the gradient alone is drawn
at each size's own resolution).

Writes into OUTPUT_DIR, for each of 16, 32, 48, 64, 128 and 256 pixels:
- iconN.ppm, a binary PPM (P6) that the Linux build embeds as it is (the program needs no image
  library for its icons; they become the window's icons);
- dorvane-N.png, installed in the hicolor icon theme;
and dorvane.ico with all six, the Windows program's icon resource.

Only the Python standard library is used, and the output depends on nothing but this file, so
running it again gives the same bytes (tests/assets checks the committed files against it).

Usage: make_icon.py OUTPUT_DIR
"""
import os
import struct
import sys
import zlib

GRID = 16
SIZES = (16, 32, 48, 64, 128, 256)
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


def pixel(x, y, size):
    """The colour at pixel (x, y) of the icon drawn size pixels wide."""
    scale = size // GRID
    gx, gy = x // scale, y // scale  # the cell of the 16 x 16 drawing
    lx, ly = gx - 3, gy - 1
    if 0 <= lx < 10 and 0 <= ly < 10 and LETTER[ly][lx] == "#":
        return (255, 255, 0)
    if gy == 13 and gx % 4 in (1, 2):  # four slot marks, white like the map names
        return (255, 255, 255)
    # At 16 pixels (y + 1) / 16, the gradient's band; larger sizes grade it more finely.
    k = min(max(((y + 0.5) / scale + 0.5) / GRID, 1 / GRID), 1.0)
    return (round(255 * k), 0, round(255 * k))


def rows(size):
    return [b"".join(bytes(pixel(x, y, size)) for x in range(size)) for y in range(size)]


def ppm(size):
    return b"P6\n%d %d\n255\n" % (size, size) + b"".join(rows(size))


def png(size, alpha=False):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    pixels = rows(size)
    if alpha:  # opaque RGBA, the only kind of PNG that Windows takes inside an icon
        pixels = [b"".join(row[i:i + 3] + b"\xff" for i in range(0, len(row), 3)) for row in pixels]
    raw = b"".join(b"\0" + row for row in pixels)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", size, size, 8, 6 if alpha else 2, 0, 0, 0)  # 8-bit
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib(size):
    """An icon image as Windows keeps it: a 32-bit bitmap, bottom row first, then its mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(
        b"".join(bytes((row[i + 2], row[i + 1], row[i], 255)) for i in range(0, len(row), 3))
        for row in reversed(rows(size)))
    mask = b"\0" * (((size + 31) // 32 * 4) * size)  # every pixel opaque
    return header + colour + mask


def ico():
    # The large sizes as PNG, as Windows stores them itself; the small ones as bitmaps.
    images = [(size, png(size, alpha=True) if size >= 128 else dib(size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = size % 256  # 0 means 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {"dorvane.ico": ico()}
    for size in SIZES:
        files["icon%d.ppm" % size] = ppm(size)
        files["dorvane-%d.png" % size] = png(size)
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
