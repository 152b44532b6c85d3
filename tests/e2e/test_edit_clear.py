#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Clearing: "&Clear Map Slot" empties the current slot at once, keeping its number; "&Clear
Database" asks first: No changes nothing, Yes leaves a file numbered 0 to 67 with every name
empty and the selection and colours kept, while the numbers in memory come back with the next
ordinary write."""
from editing import wait_file
from xsession import MAIN_PLACES, Database, scenario, slot_place

QUESTION = "Erase All Maps"


def answer(t, key):
    box = t.x.wait_window(QUESTION)
    t.x.activate(box)
    t.x.key(key)
    t.x.wait_no_window(QUESTION)


@scenario
def clear(t):
    numbers = [200 + i for i in range(68)]
    colours = ["0,255,255,0", "0,0,0,0", "0,255,255,0", "0,255,0", "255,0,0", "255,255,0",
               "0,0,255", "12,34,56"]
    names = {4: "a.map", 5: "b.map", 6: "c.map", 67: "z.map"}
    Database(slots=names, selection=4, numbers=numbers, colours=colours).write(t.folder)
    win = t.start()

    win.click_control(slot_place(5))
    win.click_control(MAIN_PLACES["Clear"])
    db = wait_file(t, lambda d: d.slots[5] == "", "slot 5 cleared")
    assert db.numbers == numbers and db.selection == 5 and db.colours == colours
    assert [db.slots[k] for k in (4, 6, 67)] == ["a.map", "c.map", "z.map"]
    cleared = db.raw

    # No: nothing changes. The second question proves the first command has ended.
    win.key("ctrl+z")
    answer(t, "n")
    win.key("ctrl+z")
    box = t.x.wait_window(QUESTION)
    assert Database.read(t.folder).raw == cleared, "the file changed after No"
    t.x.activate(box)
    t.x.key("y")
    t.x.wait_no_window(QUESTION)
    db = wait_file(t, lambda d: d.numbers == list(range(68)), "the renumbered file")
    assert db.slots == [""] * 68 and db.selection == 5 and db.colours == colours

    # The numbers in memory were kept: quitting writes them again.
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.numbers == numbers and db.slots == [""] * 68 and db.selection == 5
