# SPDX-License-Identifier: MIT
"""The main window's look, read from the screen: with the default colours, the 255-band gradient
over the outer height (its last bands below the window), the slot rows graded over 17, the four
button faces and a hidden label in the band at its height; the window's icon in six sizes and its
class. The colour dialog opens from "Change Colors  |" (F10, the arrows, Return) with its heading
in the first colour of the program's random source; a pick of Blue for the top of the screen shows
in its preview only, Ok repaints the whole gradient from blue, and Quit stores it."""
from xsession import AREA, GREY, PLACES, Database, Window, scenario, slot_place, wait_until

DIALOG = "FORM OF DEATH! no, wait..."


def gradient_is(t, win, outer, colour_of_band):
    """Whether each row of the area's column 1 shows its band's colour, leaving out the rows at a
    band's edge near half a pixel."""
    shot, (ox, oy), height = t.x.screenshot(), win.point(), outer / 255.0
    for k in range(1, 256):
        top, bottom = (k - 1) * height, k * height
        if all(abs(e - int(e) - 0.5) >= 0.02 for e in (top, bottom)):
            for r in range(int(top + 0.5), min(int(bottom + 0.5), AREA[1])):
                if shot(ox + 1, oy + r) != colour_of_band(k):
                    return False
    return True


def shows(t, window, place, colour):
    """Whether the place shows text in the colour on grey: a smoothed pixel counts when it lies
    most of the way from the grey to the colour."""
    image, (left, top, width, height) = t.x.screenshot(), place
    (x0, y0), (x1, y1) = window.point(left, top), window.point(left + width, top + height)
    step = [c - b for c, b in zip(colour, GREY)]

    def drawn(pixel):
        off = [p - b for p, b in zip(pixel, GREY)]
        f = sum(o * d for o, d in zip(off, step)) / sum(d * d for d in step)
        return f >= 0.6 and sum((o - f * d) ** 2 for o, d in zip(off, step)) <= 144
    return any(drawn(image(x, y)) for x in range(x0, x1) for y in range(y0, y1))


@scenario
def look(t):
    Database(slots={2: "e1l2.map"}, selection=2).write(t.folder)
    win = t.start()
    _, _, width, height = t.x.geometry(win.wid)
    assert (width, height - win.menu_height) == AREA, "area %dx%d" % (width, height)
    wait_until(lambda: win.pixel(7560 + 150, 840 + 150) == (255, 255, 0), 5, "the first paint")
    _, _, top, bottom = t.x.frame_extents(win.wid)
    outer = height + top + bottom
    assert outer * 254 / 255.0 > AREA[1], "the last band is in the window"
    assert gradient_is(t, win, outer, lambda k: (k, 0, k)), "the default gradient is not shown"
    shot = t.x.screenshot()
    for k in range(68):
        left, top, w, _ = slot_place(k)
        red = 255 - 15 * (k // 4)
        assert win.pixel(left + w - 150, top + 45, shot) == (red, 0, red), "slot %d" % k
    for name, colour in (("Build", (255, 0, 0)), ("Setup", (255, 255, 0)),
                         ("Duke3d", (0, 255, 0)), ("Random", (0, 0, 255))):
        left, top, w, h = PLACES[name]
        for dx, dy in ((150, 150), (w - 150, h - 150)):
            assert win.pixel(left + dx, top + dy, shot) == colour, name
    k = int(6200 // (outer * 15 / 255.0)) + 1
    left, top, w, _ = PLACES["tttt2"]
    assert win.pixel(left + w - 20, top + 5, shot) == (k, 0, k), "tttt2's background"

    raw = t.x.run_tool(["xprop", "-len", "4000000", "-id", str(win.wid), "-notype", "-f",
                        "_NET_WM_ICON", "32c", "=$0+", "_NET_WM_ICON"])
    values, sizes = [int(v) for v in raw.split("=", 1)[1].replace(",", " ").split()], []
    while values:
        size = values[0]
        pixels, values = values[2:2 + size * size], values[2 + size * size:]
        sizes.append(size)
        at = size * 3 // 16 + size // 32  # inside the letter's left stroke
        assert pixels[at * size + at] == 0xFFFFFF00, "%d px: no yellow letter" % size
        assert pixels[(size - 1) * size] == 0xFFFF00FF, "%d px: no magenta at the bottom" % size
    assert sizes == [16, 32, 48, 64, 128, 256], sizes
    assert '"dorvane", "Dorvane"' in t.x.run_tool(["xprop", "-id", str(win.wid), "WM_CLASS"])

    win.open_menu(4, by_key=True)
    t.x.key("Return")  # an entry without items: Return chooses it
    dialog = Window(t.x, t.x.wait_window(DIALOG))
    state, heading = 0x50000, []
    for _ in range(3):  # the first three draws of the unseeded source, made 1 to 255
        state = (state * 1140671485 + 12820163) & 0xFFFFFF
        heading.append(int(255 * (state / 16777216.0) + 1))
    wait_until(lambda: shows(t, dialog, (120, 120, 2175, 255), tuple(heading)), 5,
               "the heading in %r" % heading)
    ox, oy = win.point()  # over the main window, clear of the column x = 1
    t.x.run_tool(["xdotool", "windowmove", "--sync", str(dialog.wid), str(ox + 40), str(oy + 40)])
    wait_until(lambda: abs(dialog.point()[0] - (ox + 40)) <= 10, 5, "the dialog to move")
    point = dialog.point(240 + 150, 600 + 150)
    closed = t.x.screenshot()(*point)
    dialog.click((240, 600, 2055, 315))  # the screen top's list
    wait_until(lambda: t.x.screenshot()(*point) != closed, 5, "the list to drop down")
    t.x.key("Down", "Return")  # the item below "Black"
    wait_until(lambda: shows(t, dialog, (240, 960, 2055, 255), (0, 0, 255)), 5, "a blue preview")
    assert gradient_is(t, win, outer, lambda k: (k, 0, k)), "a pick alone changed the window"
    dialog.click((840, 4080, 1575, 375))  # Ok
    t.x.wait_no_window(DIALOG)
    wait_until(lambda: gradient_is(t, win, outer, lambda k: (k, 0, 255)), 5, "a gradient from blue")
    t.quit(win)
    assert Database.read(t.folder).colours[2] == "255,255,255,0"
