#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The menu bar without the mouse: F10 opens it at "File  |"; the arrows and Return reach every
entry, the item-less "Change Colors  |" included, and File > Exit ends the program like Quit."""
from xsession import Database, scenario, settled, slot_place, wait_until

COLOURS_TITLE = "FORM OF DEATH! no, wait..."


def open_menu_bar(t, win):
    """Presses F10 and waits for the File menu to drop down over the slots below it."""
    ox, oy = win.area_origin()
    below = (ox + 4, oy + 4, 40, 12)
    before = settled(lambda: t.x.grab(*below))
    win.key("F10")
    wait_until(lambda: t.x.grab(*below) != before, 5, "the File menu to open")


@scenario
def menu_keys(t):
    Database(slots={4: "e1l4.map"}, selection=4).write(t.folder)
    win = t.start()

    open_menu_bar(t, win)
    t.x.key("Right", "Right", "Right", "Right", "Return")
    dialog = t.x.wait_window(COLOURS_TITLE)
    t.x.click_close_box(dialog)
    t.x.wait_no_window(COLOURS_TITLE)

    win.click_control(slot_place(6))
    open_menu_bar(t, win)
    t.x.key("Down", "Return")
    assert t.wait_exit() == 0, "File > Exit did not end the program"
    db = Database.read(t.folder)
    assert db.selection == 6 and db.slots[4] == "e1l4.map"
