#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The about box through the real program: Ctrl+A opens it with the focus on its close button,
so Enter hides it; About twice leaves one box, whose tall, narrow ANSWER button shows its caption
whole, in lines inside the button; ANSWER shows the joke's message; after a close through the
frame the next About shows a box again, whose focus order reaches ANSWER."""
from xsession import Database, Window, scenario, wait_until

ABOUT = "About Dorvane"
ANSWER_TITLE = "101010b is the answer!!!"
# Command1 within Frame1 within Frame666, in twips of the box.
ANSWER = (3840 + 120 + 120, 0 + 1440 + 240, 735, 1455)


def caption_ink(image, box, place, inset=3):
    """The dark pixels inside a button's bevel: (bands of rows, leftmost, rightmost, width),
    columns counted from the inside of the bevel."""
    left, top, width, height = place
    x0, y0 = box.screen_point(left, top)
    w = int(width // box.twips_per_pixel) - 2 * inset
    h = int(height // box.twips_per_pixel) - 2 * inset
    bands, in_band, lo, hi = 0, False, None, None
    for y in range(y0 + inset, y0 + inset + h):
        dark = [x - x0 - inset for x in range(x0 + inset, x0 + inset + w)
                if max(image.pixel(x, y)) < 96]
        if dark:
            lo = dark[0] if lo is None else min(lo, dark[0])
            hi = dark[-1] if hi is None else max(hi, dark[-1])
        bands += bool(dark) and not in_band
        in_band = bool(dark)
    return bands, lo, hi, w


def boxes(t):
    out = t.x.run_tool(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % ABOUT],
                       check=False)
    return [int(w) for w in out.split()]


@scenario
def about_box(t):
    Database().write(t.folder)
    win = t.start()
    win.key("ctrl+a")
    wid = t.x.wait_window(ABOUT)
    wait_until(lambda: t.x.active_window() == wid, 5, "the about box to take the focus")
    t.x.key("Return")
    t.x.wait_no_window(ABOUT)
    assert t.running()

    win.key("ctrl+a")
    box = Window(t.x, t.x.wait_window(ABOUT))
    win.key("ctrl+a")
    # "ANSWER" is wider than its button: it reads whole in two lines or more, none clipped.
    def answer_in_lines():
        ink = caption_ink(t.x.screenshot(), box, ANSWER)
        return ink if ink[0] >= 2 else None
    bands, lo, hi, width = wait_until(answer_in_lines, 5, "ANSWER drawn in two lines or more")
    assert lo > 0 and hi < width - 1, "ANSWER runs into the sides: %d to %d of %d" % (lo, hi, width)
    box.click_control(ANSWER)  # answered only after the second About has been handled
    t.x.wait_window(ANSWER_TITLE)
    assert boxes(t) == [box.wid], "about boxes: %r" % boxes(t)
    t.x.key("Return")
    t.x.wait_no_window(ANSWER_TITLE)

    box.close()
    t.x.wait_no_window(ABOUT)
    win.key("ctrl+a")
    fresh = t.x.wait_window(ABOUT)
    assert len(boxes(t)) == 1

    # The focus runs through the frames of the panel too: four Tabs from the close button
    # reach ANSWER, which Enter presses.
    wait_until(lambda: t.x.active_window() == fresh, 5, "the new box to take the focus")
    t.x.key("Tab", "Tab", "Tab", "Tab", "Return")
    t.x.wait_window(ANSWER_TITLE)
    t.x.key("Return")
    t.x.wait_no_window(ANSWER_TITLE)
    assert boxes(t) == [fresh]
    win.key("ctrl+q")
    assert t.wait_exit() == 0
