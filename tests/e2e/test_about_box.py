# SPDX-License-Identifier: MIT
"""The about box: focus, one box, ANSWER wrapped and wired, dead keys and compose (US intl)."""
from xsession import Database, Window, scenario, wait_until

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


def check_typing(t, box, place, word):
    """Types `word`, dead acute, e, blank, compose o c, and copies it out (a new word each time)."""
    box.click(place)
    t.x.key("ctrl+a", "BackSpace")
    t.x.run_tool(["xdotool", "type", "--delay", "20", word])
    t.x.key("dead_acute", "e", "space", "Multi_key", "o", "c", "ctrl+a", "ctrl+c")
    held = lambda: t.x.run_tool(["xclip", "-o", "-selection", "clipboard"], check=False)
    wait_until(lambda: held() == word + "é ©", 5, "%r in the clipboard" % word)


@scenario
def about_box(t):
    for name in ("LC_ALL", "LC_CTYPE", "XMODIFIERS"):
        t.x.env.pop(name, None)
    t.x.env["LANG"] = "C.UTF-8"
    t.x.run_tool(["setxkbmap", "-layout", "us", "-variant", "intl", "-option", "compose:ralt"])
    Database().write(t.folder)
    win = t.start()
    win.key("ctrl+a")
    wid = t.x.wait_window(ABOUT)
    wait_until(lambda: t.x.active_window() == wid, 5, "the about box to take the focus")
    t.x.key("Return")
    t.x.wait_no_window(ABOUT)
    win.key("ctrl+a")
    box = Window(t.x, t.x.wait_window(ABOUT))
    win.key("ctrl+a")
    bands, lo, hi, width = wait_until(lambda: (lambda ink: ink[0] >= 2 and ink)(
        caption_ink(t, box)), 5, "ANSWER drawn in two lines or more")
    assert 0 < lo and hi < width - 1, "ANSWER runs into the sides: %d to %d" % (lo, hi)
    box.click(ANSWER)  # handled after the second About
    t.x.answer(JOKE, "Return")
    assert t.x.windows(ABOUT) == [box.wid], "about boxes: %r" % t.x.windows(ABOUT)
    check_typing(t, box, TEXT, "Caf")
    box.close()
    t.x.wait_no_window(ABOUT)
    win.key("ctrl+a")
    fresh = Window(t.x, t.x.wait_window(ABOUT))
    wait_until(lambda: t.x.active_window() == fresh.wid, 5, "the new box to take the focus")
    t.x.key("Tab", "Tab", "Tab", "Tab", "Return")  # through the panel's frames to ANSWER
    t.x.answer(JOKE, "Return")
    check_typing(t, fresh, TEXT, "Fianc")
    t.quit(win)
