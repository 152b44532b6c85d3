# SPDX-License-Identifier: MIT
"""The about box: Ctrl+A opens it with the focus on its close button, so Enter hides it; About
twice leaves one box, whose tall, narrow ANSWER button shows its caption whole in lines inside
the button, and ANSWER shows the joke. Its text boxes take a dead acute and a compose sequence
in a UTF-8 locale on a US international keyboard, read back through the clipboard as a user
copies them out. After a close through the frame the next About shows a fresh box, whose focus
order reaches ANSWER and whose text box takes the same input."""
from xsession import Window, scenario, wait_until

ABOUT, JOKE = "About Dorvane", "101010b is the answer!!!"
ANSWER = (3840 + 120 + 120, 1440 + 240, 735, 1455)
TEXT1, TEXT2 = (120, 1320, 3615, 285), (1440, 2160, 1815, 285)


def caption_ink(t, box):
    """The dark pixels inside ANSWER's bevel: (bands of rows, leftmost, rightmost, width)."""
    image, (x0, y0) = t.x.screenshot(), box.point(ANSWER[0], ANSWER[1])
    w, h = ANSWER[2] // 15 - 6, ANSWER[3] // 15 - 6
    bands, in_band, lo, hi = 0, False, w, -1
    for y in range(y0 + 3, y0 + 3 + h):
        dark = [x for x in range(w) if max(image(x0 + 3 + x, y)) < 96]
        if dark:
            lo, hi = min(lo, dark[0]), max(hi, dark[-1])
        bands += bool(dark) and not in_band
        in_band = bool(dark)
    return bands, lo, hi, w


def check_typing(t, box, place, word):
    """Types `word`, a dead acute, "e", a blank and the compose sequence o, c into the text box
    and copies its text out (a new word each time: no clipboard left over)."""
    box.click(place)
    t.x.key("ctrl+a", "BackSpace")
    t.x.run_tool(["xdotool", "type", "--delay", "20", word])
    t.x.key("dead_acute", "e", "space", "Multi_key", "o", "c", "ctrl+a", "ctrl+c")
    held = lambda: t.x.run_tool(["xclip", "-o", "-selection", "clipboard"], check=False)
    try:
        wait_until(lambda: held() == word + "é ©", 5, "the clipboard")
    except AssertionError:
        raise AssertionError("the clipboard holds %r" % held())


@scenario
def about_box(t):
    for name in ("LC_ALL", "LC_CTYPE", "XMODIFIERS"):
        t.x.env.pop(name, None)
    t.x.env["LANG"] = "C.UTF-8"
    t.x.run_tool(["setxkbmap", "-layout", "us", "-variant", "intl", "-option", "compose:ralt"])
    t.start(wait_main=False)
    t.x.answer("Dorvane", "Return")  # a first run
    win = t.main_window()
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
    assert lo > 0 and hi < width - 1, "ANSWER runs into the sides: %d to %d of %d" % (lo, hi, width)
    box.click(ANSWER)  # handled after the second About
    t.x.answer(JOKE, "Return")
    assert t.x.windows(ABOUT) == [box.wid], "about boxes: %r" % t.x.windows(ABOUT)
    check_typing(t, box, TEXT1, "Caf")
    check_typing(t, box, TEXT2, "Blas")
    box.close()
    t.x.wait_no_window(ABOUT)
    win.key("ctrl+a")
    fresh = Window(t.x, t.x.wait_window(ABOUT))
    wait_until(lambda: t.x.active_window() == fresh.wid, 5, "the new box to take the focus")
    t.x.key("Tab", "Tab", "Tab", "Tab", "Return")  # through the panel's frames to ANSWER
    t.x.answer(JOKE, "Return")
    check_typing(t, fresh, TEXT1, "Fianc")
    assert t.x.windows(ABOUT) == [fresh.wid]
    t.x.activate(win.wid)
    t.quit(win)
