#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Sorting by the menu's shortcut: the named slots are packed to the top in ordinal order
(upper case before lower case, a full stop before a digit), numbers stay with the positions,
the file is final when "Finished Sorting" shows, and after OK slot 0 is current."""
from xsession import Database, scenario, slot_place

BOX = "Sort-O-Matic"


@scenario
def sort(t):
    numbers = [1000 + i for i in range(68)]
    names = {3: "c.map", 10: "a.map", 20: "e1l10.map", 21: "e1l1.map", 22: "E2L1.MAP",
             50: "b.map"}
    Database(slots=names, selection=3, numbers=numbers).write(t.folder)
    win = t.start()
    win.click_control(slot_place(50))
    win.key("ctrl+o")

    box = t.x.wait_window(BOX)
    db = Database.read(t.folder)
    expected = ["E2L1.MAP", "a.map", "b.map", "c.map", "e1l1.map", "e1l10.map"] + [""] * 62
    assert db.slots == expected, db.slots[:8]
    assert db.numbers == numbers and db.selection == 50
    t.x.activate(box)
    t.x.key("Return")
    t.x.wait_no_window(BOX)

    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 0 and db.slots == expected
