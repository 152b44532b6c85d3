#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The main window hands the window manager its icon in all six sizes (16 to 256 pixels, the
same drawing: the yellow letter and the magenta gradient), and names its class so that a desktop
entry's StartupWMClass finds it."""
from xsession import Database, scenario

SIZES = [16, 32, 48, 64, 128, 256]


def icons(values):
    """(width, height, pixels) of each icon in a _NET_WM_ICON value, pixels as 0xAARRGGBB."""
    out, i = [], 0
    while i + 2 <= len(values):
        w, h = values[i], values[i + 1]
        out.append((w, h, values[i + 2:i + 2 + w * h]))
        i += 2 + w * h
    return out


@scenario
def window_icons(t):
    Database(slots={1: "a.map"}, selection=1).write(t.folder)
    win = t.start()
    # Every value, comma-separated; -len lifts xprop's limit on how much of a property it reads.
    raw = t.x.run_tool(["xprop", "-len", "4000000", "-id", str(win.wid), "-notype",
                        "-f", "_NET_WM_ICON", "32c", "=$0+", "_NET_WM_ICON"])
    assert "=" in raw, "no _NET_WM_ICON on the main window: %r" % raw[:200]
    values = [int(v) for v in raw.split("=", 1)[1].replace(",", " ").split()]
    found = icons(values)
    assert [(w, h) for w, h, _ in found] == [(s, s) for s in SIZES], \
        "icon sizes %r" % [(w, h) for w, h, _ in found]
    for size, _, pixels in found:
        assert len(pixels) == size * size, "the %d pixel icon is cut short" % size
        at = size * 3 // 16 + size // 32  # inside the letter's left stroke
        assert pixels[at * size + at] == 0xFFFFFF00, "%d px: letter %#x" % (size, pixels[at])
        bottom = pixels[(size - 1) * size]  # the gradient's magenta end, bottom left
        assert bottom & 0xFFFFFF == 0xFF00FF, "%d px: gradient ends in %#x" % (size, bottom)
        assert all(p >> 24 == 0xFF for p in pixels), "%d px: not opaque" % size

    wm_class = t.x.run_tool(["xprop", "-id", str(win.wid), "WM_CLASS"])
    assert '"dorvane", "Dorvane"' in wm_class, wm_class
    win.key("ctrl+q")
    assert t.wait_exit() == 0
