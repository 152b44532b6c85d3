#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Ways to end the program: Ctrl+Q, Alt+Q, the Quit button, File > Exit and the close box each
write the database and end the process; a plain Q (without Alt) and Escape do nothing."""
from xsession import MAIN_PLACES, Database, scenario, slot_place


def run(t, slot, end, expected=None):
    win = t.start()
    win.click_control(slot_place(slot))
    end(win)
    assert t.wait_exit() == 0, "the program did not end cleanly"
    db = Database.read(t.folder)
    expected = slot if expected is None else expected
    assert db.selection == expected, "selection %r, expected %d" % (db.selection, expected)
    assert db.slots[1] == "a.map"


@scenario
def quit_paths(t):
    Database(slots={1: "a.map"}, selection=1).write(t.folder)
    run(t, 5, lambda w: w.key("ctrl+q"))
    run(t, 6, lambda w: w.key("alt+q"))
    run(t, 7, lambda w: w.click_control(MAIN_PLACES["Quit"]))
    run(t, 8, lambda w: w.close())

    def file_exit(w):
        ox, oy = w.area_origin()
        t.x.click(ox + 15, oy - w.menu_height // 2)  # "File  |"
        t.x.key("Down", "Return")  # its only item, "Exit"

    run(t, 10, file_exit)

    # A plain q, Escape and Alt+Z (no such key) leave the program running: the later click on
    # slot 11 still reaches it and is what Ctrl+Q stores.
    def keys_then_quit(w):
        w.key("q", "Escape", "alt+z")
        w.click_control(slot_place(11))
        w.key("ctrl+q")

    run(t, 3, keys_then_quit, expected=11)
