#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Typing into the about box's text boxes in a UTF-8 locale, on a keyboard with dead keys and a
compose key (US international, Right Alt as Compose): a dead acute before "e" gives "é" and the
compose sequence o, c gives "©", in both text boxes; a box opened again after a close through
the frame (a new window) takes them too. Each box's text is read back through the clipboard
(Ctrl+A, Ctrl+C), as a user would copy it out. Afterwards the main window still takes its
shortcuts."""
from xsession import Database, Timeout, Window, scenario, wait_until

ABOUT = "About Dorvane"
TEXT1 = (120, 1320, 3615, 285)
TEXT2 = (1440, 2160, 1815, 285)


def typed_into(t, box, place, word):
    """Clears the text box at `place`, types `word` and then a dead acute, "e", a blank and the
    compose sequence o, c into it; returns the box's text as the clipboard then holds it."""
    box.click_control(place)
    t.x.key("ctrl+a", "BackSpace")
    t.x.type_text(word)
    t.x.key("dead_acute", "e", "space", "Multi_key", "o", "c")
    t.x.key("ctrl+a", "ctrl+c")
    expected = word + "é ©"
    held = [None]

    def copied():
        held[0] = t.x.run_tool(["xclip", "-o", "-selection", "clipboard"], check=False)
        return held[0] == expected

    try:
        wait_until(copied, 5, "the clipboard to hold %r" % expected)
    except Timeout:
        pass
    return held[0]


@scenario
def about_text_input(t):
    env = t.x.env
    for name in ("LC_ALL", "LC_CTYPE", "XMODIFIERS"):
        env.pop(name, None)
    env["LANG"] = "C.UTF-8"
    t.x.run_tool(["setxkbmap", "-layout", "us", "-variant", "intl", "-option", "compose:ralt"])
    Database().write(t.folder)
    win = t.start()

    win.key("ctrl+a")
    box = Window(t.x, t.x.wait_window(ABOUT))
    wait_until(lambda: t.x.active_window() == box.wid, 5, "the about box to take the focus")
    # A different word in each, so that the clipboard cannot hold the text of the one before.
    for place, word in ((TEXT1, "Caf"), (TEXT2, "Blas")):
        got = typed_into(t, box, place, word)
        assert got == word + "é ©", "the text box holds %r" % got

    box.close()
    t.x.wait_no_window(ABOUT)
    win.key("ctrl+a")
    fresh = Window(t.x, t.x.wait_window(ABOUT))
    wait_until(lambda: t.x.active_window() == fresh.wid, 5, "the new box to take the focus")
    got = typed_into(t, fresh, TEXT1, "Fianc")
    assert got == "Fiancé ©", "the new box's text box holds %r" % got

    t.x.activate(win.wid)
    win.key("ctrl+q")
    assert t.wait_exit() == 0
