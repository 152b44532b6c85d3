#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The main window's look with the default colours, read back from a screenshot: the 255-band
gradient over the outer height (so its last bands fall below the window), the slot rows graded
over 17, the four button faces, and a hidden label camouflaged in the band at its height."""
from xsession import AREA_SIZE, MAIN_PLACES, Database, scenario, slot_place, wait_until


def band_rows(outer_height):
    """Pixel row of the area -> band number (1 to 255). A band covers the rows between its
    edges rounded to whole pixels; rows at an edge that lies too near a half pixel to round
    surely are left out."""
    height = outer_height / 255.0
    rows = {}
    for k in range(1, 256):
        top, bottom = (k - 1) * height, k * height
        if any(abs(e - int(e) - 0.5) < 0.02 for e in (top, bottom)):
            continue
        for r in range(int(top + 0.5), int(bottom + 0.5)):
            rows[r] = k
    return rows


@scenario
def paint(t):
    Database(slots={2: "e1l2.map"}, selection=2).write(t.folder)
    win = t.start()
    _, _, width, height = t.x.geometry(win.wid)
    _, _, top, _ = t.x.frame_extents(win.wid)
    assert (width, height - win.menu_height) == AREA_SIZE, "area %dx%d" % (width, height)
    assert top > 0, "the window manager reports no frame"
    outer = win.outer_height()

    # The paint is complete once the Setup face is yellow.
    wait_until(lambda: win.pixel_twips(t.x.screenshot(), 7560 + 150, 840 + 150) == (255, 255, 0),
               5, "the first paint")
    shot = t.x.screenshot()
    ox, oy = win.area_origin()

    # Gradient: band k is (k, 0, k); a column left of every control shows it row by row.
    rows = band_rows(outer)
    assert rows[0] == 1
    for r, k in rows.items():
        if r >= AREA_SIZE[1]:
            continue
        for x in (1, 4):
            assert shot.pixel(ox + x, oy + r) == (k, 0, k), \
                "row %d: %r, expected band %d" % (r, shot.pixel(ox + x, oy + r), k)
    last = max(r for r in rows if r < AREA_SIZE[1])
    assert rows[last] < 255, "the bottom colour shows although the bands reach below the window"

    # Slot rows: row r is 255 - 15 r in red and blue, whatever slot is chosen.
    for k in range(68):
        l, tp, w, h = slot_place(k)
        red = 255 - 15 * (k // 4)
        got = win.pixel_twips(shot, l + w - 150, tp + 45)
        assert got == (red, 0, red), "slot %d shows %r" % (k, got)

    faces = {"Build": (255, 0, 0), "Setup": (255, 255, 0), "Duke3d": (0, 255, 0),
             "Random": (0, 0, 255)}
    for name, colour in faces.items():
        l, tp, w, h = MAIN_PLACES[name]
        for dx, dy in ((150, 150), (w - 150, h - 150)):
            got = win.pixel_twips(shot, l + dx, tp + dy)
            assert got == colour, "%s face shows %r" % (name, got)

    # tttt2's background is the band at height 6200 twips.
    band_height = outer * 15 / 255.0
    k = int(6200 // band_height) + 1
    l, tp, w, h = MAIN_PLACES["tttt2"]
    got = win.pixel_twips(shot, l + w - 20, tp + 5)
    assert got == (k, 0, k), "tttt2 background %r, expected band %d" % (got, k)
