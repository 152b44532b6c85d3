#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Slot selection kept between runs: a stored selection is chosen at start-up without any
message; a slot clicked and the window closed with its close box is stored, and the next start
chooses it again. Names and numbers stay as they were."""
from xsession import Database, scenario, slot_place


@scenario
def selection(t):
    names = {0: "e1l1.map", 12: "e1l8.map", 67: "last.map"}
    numbers = list(range(68))
    numbers[12] = 300  # a number that differs from the slot index survives the write
    Database(slots=names, selection=12, numbers=numbers).write(t.folder)

    # A stored selection of 12 is chosen as it is: quitting at once keeps 12.
    win = t.start()
    assert t.x.find_window("Dorvane") is None, "a message box came up for a complete file"
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 12, "selection %r after start-up" % db.selection
    assert db.numbers == numbers and db.slots[12] == "e1l8.map" and db.slots[67] == "last.map"

    # Click slot 9 and close with the close box.
    win = t.start()
    win.click_control(slot_place(9))
    win.close()
    assert t.wait_exit() == 0
    assert Database.read(t.folder).selection == 9

    # The next start chooses slot 9 again (quitting keeps it), and a free slot can be chosen.
    win = t.start()
    win.key("alt+q")
    assert t.wait_exit() == 0
    assert Database.read(t.folder).selection == 9
    win = t.start()
    win.click_control(slot_place(66))
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 66 and db.slots[66] == ""
