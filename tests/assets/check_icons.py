#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The committed icons are what tools/icon/make_icon.py draws now, and each is a well-formed
file of its size: a stale or hand-edited icon fails here, not on a user's desktop."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

root = sys.argv[1]
committed = os.path.join(root, "assets", "icons")
failures = []
with tempfile.TemporaryDirectory() as fresh:
    subprocess.run([sys.executable, os.path.join(root, "tools", "icon", "make_icon.py"), fresh],
                   check=True)
    names = sorted(os.listdir(fresh))
    if names != sorted(os.listdir(committed)):
        failures.append("assets/icons holds %s, the generator writes %s"
                        % (sorted(os.listdir(committed)), names))
    for name in names:
        with open(os.path.join(fresh, name), "rb") as a, open(os.path.join(committed, name),
                                                               "rb") as b:
            if a.read() != b.read():
                failures.append("assets/icons/%s differs from what make_icon.py draws" % name)

for size in (16, 32, 48, 64, 128, 256):
    with open(os.path.join(committed, "dorvane-%d.png" % size), "rb") as f:
        png = f.read()
    width, height = struct.unpack(">II", png[16:24])
    pos, pixels = 8, b""
    while pos < len(png):  # every chunk's CRC holds, and the pixels inflate to the full size
        length, kind = struct.unpack(">I4s", png[pos:pos + 8])
        body = png[pos + 4:pos + 8 + length]
        if struct.unpack(">I", png[pos + 8 + length:pos + 12 + length])[0] != zlib.crc32(body):
            failures.append("dorvane-%d.png: bad CRC in %s" % (size, kind))
        if kind == b"IDAT":
            pixels += body[4:]
        pos += 12 + length
    try:
        inflated = len(zlib.decompress(pixels))
    except zlib.error:
        inflated = -1
    if (width, height) != (size, size) or inflated != size * (size * 3 + 1):
        failures.append("dorvane-%d.png is not a %d x %d RGB picture" % (size, size, size))
    with open(os.path.join(committed, "icon%d.ppm" % size), "rb") as f:
        if not f.read().startswith(b"P6\n%d %d\n255\n" % (size, size)):
            failures.append("icon%d.ppm has the wrong header" % size)

for failure in failures:
    print(failure)
if failures:
    print("run: python3 tools/icon/make_icon.py assets/icons")
sys.exit(1 if failures else 0)
