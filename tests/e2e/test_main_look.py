# SPDX-License-Identifier: MIT
"""The main window on the screen, its icon and class; the colour dialog from its first heading;
the about box (focus, one box, ANSWER wrapped and wired, dead keys and compose on US intl); Alt
with the letter after '&' reaching each command button, but not from another window."""
from xsession import AREA, GREY, PLACES, Database, Window, scenario, slot_place, wait_until

DIALOG = "FORM OF DEATH! no, wait..."
ABOUT, JOKE = "About Dorvane", "101010b is the answer!!!"
ANSWER = (3840 + 120 + 120, 1440 + 240, 735, 1455)
TEXT = (120, 1320, 3615, 285)


def caption_ink(t, box):
    """ANSWER's dark pixels inside its bevel: (bands of rows, leftmost, rightmost, width)."""
    shot, (x0, y0) = t.x.screenshot(), box.point(ANSWER[0] + 45, ANSWER[1] + 45)
    w, h = ANSWER[2] // 15 - 6, ANSWER[3] // 15 - 6
    rows = [[x for x in range(w) if max(shot(x0 + x, y)) < 96] for y in range(y0, y0 + h)]
    ink = [x for row in rows for x in row]
    return sum(bool(row and not above) for above, row in zip([[]] + rows, rows)), \
        min(ink, default=w), max(ink, default=-1), w


def gradient_is(t, win, outer, colour_of_band):
    """Whether column 1 shows each band's colour, leaving out rows near half a pixel of an edge."""
    shot, (x, y), height = t.x.screenshot(), win.point(), outer / 255.0
    edges = [(int(k * height + 0.5), abs(k * height % 1 - 0.5) < 0.02) for k in range(256)]
    return all(shot(x + 1, y + r) == colour_of_band(k + 1) for k in range(255)
               if not (edges[k][1] or edges[k + 1][1])
               for r in range(edges[k][0], min(edges[k + 1][0], AREA[1])))


def shows(t, window, place, colour):
    """Whether the place shows text in the colour on grey (smoothed pixels most of the way)."""
    shot, step = t.x.screenshot(), [c - g for c, g in zip(colour, GREY)]
    (x0, y0), (x1, y1) = window.point(*place[:2]), window.point(place[0] + place[2],
                                                                place[1] + place[3])

    def drawn(pixel):
        off = [p - g for p, g in zip(pixel, GREY)]
        f = sum(o * d for o, d in zip(off, step)) / sum(d * d for d in step)
        return f >= 0.6 and sum((o - f * d) ** 2 for o, d in zip(off, step)) <= 144
    return any(drawn(shot(x, y)) for x in range(x0, x1) for y in range(y0, y1))


@scenario
def look(t):
    for name in ("LC_ALL", "LC_CTYPE", "XMODIFIERS"):
        t.x.env.pop(name, None)
    t.x.env["LANG"] = "C.UTF-8"
    t.x.run_tool(["setxkbmap", "-layout", "us", "-variant", "intl", "-option", "compose:ralt"])
    Database(slots={5: "e1l5.map", 9: "e1l9.map"}, selection=9).write(t.folder)
    win = t.start()
    _, _, width, height = t.x.geometry(win.wid)
    assert (width, height - win.menu_height) == AREA, "area %dx%d" % (width, height)
    wait_until(lambda: win.pixel(7560 + 150, 840 + 150) == (255, 255, 0), 5, "the first paint")
    outer = height + sum(t.x.frame_extents(win.wid)[2:])
    assert outer * 254 / 255.0 > AREA[1] and gradient_is(t, win, outer, lambda k: (k, 0, k))
    shot = t.x.screenshot()
    for k in range(68):
        red = 255 - 15 * (k // 4)
        assert win.pixel(slot_place(k)[0] + 1305, slot_place(k)[1] + 45, shot) == (red, 0, red), k
    k = int(6200 // (outer * 15 / 255.0)) + 1
    assert win.pixel(PLACES["tttt2"][0] + 1315, 6245, shot) == (k, 0, k), "tttt2's background"

    raw = t.x.run_tool(["xprop", "-len", "4000000", "-id", str(win.wid), "-notype", "-f",
                        "_NET_WM_ICON", "32c", "=$0+", "_NET_WM_ICON"])
    values, sizes = [int(v) for v in raw.split("=", 1)[1].replace(",", " ").split()], []
    while values:
        size, pixels, values = values[0], values[2:], values[2 + values[0] ** 2:]
        sizes.append(size)
        at = size * 3 // 16 + size // 32  # inside the letter's left stroke
        assert pixels[at * size + at] == 0xFFFFFF00, "%d px: no yellow letter" % size
        assert pixels[(size - 1) * size] == 0xFFFF00FF, "%d px: no magenta at the bottom" % size
    assert sizes == [16, 32, 48, 64, 128, 256], sizes
    assert '"dorvane", "Dorvane"' in t.x.run_tool(["xprop", "-id", str(win.wid), "WM_CLASS"])

    win.open_menu(4)
    t.x.key("Return")  # an entry without items: Return chooses it
    dialog = Window(t.x, t.x.wait_window(DIALOG))
    state, heading = 0x50000, []
    for _ in range(3):  # the first three draws of the unseeded source, made 1 to 255
        state = (state * 1140671485 + 12820163) & 0xFFFFFF
        heading.append(int(255 * (state / 16777216.0) + 1))
    wait_until(lambda: shows(t, dialog, (120, 120, 2175, 255), tuple(heading)), 5,
               "the heading in %r" % heading)
    closed = dialog.pixel(390, 750)
    dialog.click((240, 600, 2055, 315))  # the screen top's list
    wait_until(lambda: dialog.pixel(390, 750) != closed, 5, "the list to drop down")
    t.x.key("Down", "Return")  # the item below "Black"
    wait_until(lambda: shows(t, dialog, (240, 960, 2055, 255), (0, 0, 255)), 5, "a blue preview")
    dialog.click((840, 4080, 1575, 375))  # Ok
    t.x.wait_no_window(DIALOG)
    wait_until(lambda: gradient_is(t, win, outer, lambda k: (k, 0, 255)), 5, "blue at the top")

    win.key("ctrl+a")
    box = Window(t.x, t.x.wait_window(ABOUT))
    wait_until(lambda: t.x.active_window() == box.wid, 5, "the about box to take the focus")
    t.x.key("Tab", "Tab", "Tab", "Tab", "Return")  # through the panel's frames to ANSWER
    t.x.answer(JOKE, "Return")
    box.key("alt+q", "ctrl+q")  # reaching neither Quit nor File > Exit: the program runs on
    win.key("ctrl+a")
    bands, lo, hi, width = wait_until(lambda: (lambda ink: ink[0] >= 2 and ink)(
        caption_ink(t, box)), 5, "ANSWER drawn in two lines or more")
    assert 0 < lo and hi < width - 1, "ANSWER runs into the sides: %d to %d" % (lo, hi)
    box.click(ANSWER)  # handled after the second About
    t.x.answer(JOKE, "Return")
    assert t.x.windows(ABOUT) == [box.wid], "about boxes: %r" % t.x.windows(ABOUT)
    box.click(TEXT)  # dead acute and e, then compose o c
    t.x.key("ctrl+a", "BackSpace")
    t.x.run_tool(["xdotool", "type", "--delay", "20", "Caf"])
    t.x.key("dead_acute", "e", "space", "Multi_key", "o", "c", "ctrl+a", "ctrl+c")
    held = lambda: t.x.run_tool(["xclip", "-o", "-selection", "clipboard"], check=False)
    wait_until(lambda: held() == "Café ©", 5, "the text in the clipboard")
    box.close()
    t.x.wait_no_window(ABOUT)

    chosen = lambda k: win.pixel(slot_place(k)[0] + 135, slot_place(k)[1] + 150) == (0, 0, 0)
    win.key("alt+a")
    t.x.click_close_box(t.x.wait_window("Add Map"))
    t.x.wait_no_window("Add Map")
    win.click(slot_place(5))
    win.key("alt+c")
    wait_until(lambda: Database.read(t.folder).slots[5] == "", 5, "slot 5 cleared")
    for letter in "dbs":  # the run buttons on the now empty slot each ask for a map first
        win.key("alt+" + letter)
        t.x.answer("Duh!", "Return")
    win.key("alt+r")  # Random picks the one filled slot left
    wait_until(lambda: chosen(9), 5, "the random pick of slot 9")
    t.quit(win)
    assert Database.read(t.folder).colours[2] == "255,255,255,0"
