#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The colour dialog through the real program: it opens from the "Change Colors  |" entry with
the heading in the first colour of the program's random source, a pick of Blue for the top of
the screen shows in its preview, Ok hides the dialog, the uncovered main window repaints its
whole gradient from blue, and Quit stores the new blue components in the file."""
from xsession import Database, Window, scenario, wait_until

DIALOG = "FORM OF DEATH! no, wait..."
# Places in the dialog, in twips; the lists and previews of the frames add the frame's corner.
MAINLABEL = (120, 120, 2175, 255)
BCT = (120 + 120, 360 + 240, 2055, 315)
BCTT = (120 + 120, 360 + 600, 2055, 255)
OK = (840, 4080, 1575, 375)


def menu_entries(t, win):
    """Screen points of the menu bar's entries, found as runs of dark text pixels: the gap
    between two entries is far wider than a space between two words of one."""
    shot = t.x.screenshot()
    x, y, w, _ = t.x.geometry(win.wid)
    rows = range(y, y + win.menu_height)
    dark = [cx for cx in range(x, x + w) if any(sum(shot.pixel(cx, cy)) < 200 for cy in rows)]
    runs = []
    for cx in dark:
        if runs and cx - runs[-1][1] <= 15:
            runs[-1][1] = cx
        else:
            runs.append([cx, cx])
    return [((a + b) // 2, y + win.menu_height // 2) for a, b in runs]


def first_random_colour():
    """The heading's colour at the first activation: three draws of the program's unseeded
    source, each made a component of 1 to 255."""
    state, parts = 0x50000, []
    for _ in range(3):
        state = (state * 1140671485 + 12820163) & 0xFFFFFF
        parts.append(int(255 * (state / 16777216.0) + 1))
    return tuple(parts)


def shows(image, window, place, colour, background=(192, 192, 192)):
    """Whether the control's place shows text in the colour. Text is drawn smoothed, so a stem
    may blend with the background: a pixel counts when it lies on the way from the background
    to the colour, most of the way there."""
    left, top, width, height = place
    x0, y0 = window.screen_point(left, top)
    x1, y1 = window.screen_point(left + width, top + height)
    step = [c - b for c, b in zip(colour, background)]
    length = sum(d * d for d in step)

    def drawn(pixel):
        off = [p - b for p, b in zip(pixel, background)]
        t = sum(o * d for o, d in zip(off, step)) / length
        miss = sum((o - t * d) ** 2 for o, d in zip(off, step))
        return t >= 0.6 and miss <= 12 ** 2

    return any(drawn(image.pixel(x, y)) for x in range(x0, x1) for y in range(y0, y1))


def band(outer, row):
    """The band (1 to 255) painted at pixel row `row` of the area, from the middle of the row."""
    return int((row + 0.5) * 255.0 / outer) + 1


def gradient_is(t, win, outer, colour_of_band):
    """Whether the column at x = 1 shows the gradient from top to bottom (a band's edge may
    fall inside a row, so each row may show the band above it instead)."""
    shot = t.x.screenshot()
    ox, oy = win.area_origin()
    for row in range(0, 430, 7):
        k = band(outer, row)
        if shot.pixel(ox + 1, oy + row) not in (colour_of_band(k), colour_of_band(k - 1)):
            return False
    return True


@scenario
def colour_dialog(t):
    Database(slots={0: "e1l1.map"}, selection=0).write(t.folder)
    win = t.start()
    outer = win.outer_height()
    assert gradient_is(t, win, outer, lambda k: (k, 0, k)), "the default gradient is not shown"

    entries = menu_entries(t, win)
    assert len(entries) == 6, "menu entries found at %r" % entries
    t.x.click(*entries[4])  # "Change Colors  |"
    dialog = Window(t.x, t.x.wait_window(DIALOG))
    heading = first_random_colour()
    wait_until(lambda: shows(t.x.screenshot(), dialog, MAINLABEL, heading), 5,
               "the heading in %r" % (heading,))

    # Over the main window, so that hiding the dialog uncovers part of it; the column x = 1
    # stays uncovered throughout.
    ox, oy = win.area_origin()
    t.x.run_tool(["xdotool", "windowmove", "--sync", str(dialog.wid), str(ox + 40),
                  str(oy + 40)])
    wait_until(lambda: abs(dialog.area_origin()[0] - (ox + 40)) <= 10, 5, "the dialog to move")

    # The user opens the list and takes the item below "Black".
    list_point = dialog.screen_point(BCT[0] + 150, BCT[1] + BCT[3] // 2)
    closed = t.x.screenshot().pixel(*list_point)
    dialog.click_control(BCT)
    wait_until(lambda: t.x.screenshot().pixel(*list_point) != closed, 5, "the list to drop down")
    t.x.key("Down", "Return")
    wait_until(lambda: shows(t.x.screenshot(), dialog, BCTT, (0, 0, 255)), 5,
               "the preview in blue")
    assert gradient_is(t, win, outer, lambda k: (k, 0, k)), "a pick alone changed the window"

    dialog.click_control(OK)
    t.x.wait_no_window(DIALOG)
    wait_until(lambda: gradient_is(t, win, outer, lambda k: (k, 0, 255)), 5,
               "the gradient from blue to magenta")

    win.key("ctrl+q")
    assert t.wait_exit() == 0
    colours = list(Database.DEFAULT_COLOURS)
    colours[2] = "255,255,255,0"  # the blues of screen top, screen bottom, text top, text bottom
    assert Database.read(t.folder).colours == colours, Database.read(t.folder).colours
