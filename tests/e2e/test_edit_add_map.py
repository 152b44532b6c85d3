#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Adding maps with the picker: it lists only the folder's map files (any letter case, no
folders, no hidden files), sorted; a double-click fills the slot chosen after the picker opened; Ok stores the
name lower-cased; a hidden picker keeps its selection; closing it through its frame changes
nothing; Ok in a fresh picker with nothing selected empties the current slot; a fresh picker
has the keyboard focus in its list. Every add is in the file at once, with the slot's own
number."""
import os

from editing import PICKER_TITLE, open_picker, wait_file
from xsession import Database, scenario, slot_place


@scenario
def add_map(t):
    # Listed in this order: E1L8.MAP, Mixed.Map, castle.map; a folder named like a map file
    # would come between the last two, and the hidden .hid.map before them all.
    for name in ("castle.map", "E1L8.MAP", "Mixed.Map", "notes.txt", "castle.map.bak", ".hid.map"):
        open(os.path.join(t.folder, name), "wb").close()
    os.mkdir(os.path.join(t.folder, "b_folder.map"))
    numbers = list(range(68))
    numbers[5], numbers[2] = 305, 302
    Database(slots={2: "old.map", 5: "five.map"}, selection=2, numbers=numbers).write(t.folder)
    win = t.start()

    # Open with slot 2 current, then choose slot 5 in the main window: the map goes to slot 5.
    picker = open_picker(t, win)
    win.click_control(slot_place(5))
    castle_row = picker.click_row(2, repeat=2)
    t.x.wait_no_window(PICKER_TITLE)
    db = wait_file(t, lambda d: d.slots[5] == "castle.map", "castle.map in slot 5")
    assert db.numbers[5] == 5 and db.numbers[2] == 302, db.numbers[:6]
    assert db.slots[2] == "old.map" and db.selection == 5

    # Shown again, the picker still has castle.map selected; Ok with E1L8.MAP fills slot 7.
    win.click_control(slot_place(7))
    picker = open_picker(t, win, move_to=None)
    rows = picker.wait_highlight("the kept selection")
    top = picker.list_top()
    assert rows[0] <= top + castle_row <= rows[-1], "castle.map is no longer selected"
    picker.click_row(0)
    picker.press_ok()
    t.x.wait_no_window(PICKER_TITLE)
    db = wait_file(t, lambda d: d.slots[7] == "e1l8.map", "e1l8.map in slot 7")
    assert db.numbers[7] == 7 and db.slots[5] == "castle.map" and db.selection == 7

    # Closed through its frame, the picker changes nothing.
    before = Database.read(t.folder).raw
    picker = open_picker(t, win, move_to=None)
    picker.close()
    t.x.wait_no_window(PICKER_TITLE)

    # A fresh picker has nothing selected: Ok empties the current slot (2).
    win.click_control(slot_place(2))
    picker = open_picker(t, win)
    assert picker.highlighted_rows() == [], "a fresh picker shows a selection"
    picker.press_ok()
    t.x.wait_no_window(PICKER_TITLE)
    db = wait_file(t, lambda d: d.slots[2] == "", "slot 2 emptied")
    assert db.numbers[2] == 2 and db.selection == 2
    expected = before.replace('302,"old.map"', '2,""').replace("\r\n7\r\n", "\r\n2\r\n")
    assert db.raw == expected, "more than slot 2 and the selection changed"

    # A fresh picker has its list focused: the arrow keys move the selection at once.
    picker = open_picker(t, win, move_to=None)
    picker.close()
    t.x.wait_no_window(PICKER_TITLE)
    picker = open_picker(t, win)
    picker.key("Down")
    picker.wait_highlight("a row selected by the arrow key")
    picker.close()
    t.x.wait_no_window(PICKER_TITLE)
    assert Database.read(t.folder).raw == expected, "closing the picker changed the file"

    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert [db.slots[k] for k in (2, 5, 7)] == ["", "castle.map", "e1l8.map"]
