# SPDX-License-Identifier: MIT
"""Each change saved at once: the map picker, Clear, Clear Database (asked), Move Map and Sort."""
import os

from xsession import (PICKER_TITLE, PLACES, Database, open_picker, scenario, slot_place, wait_file,
                      wait_until)


@scenario
def edit_catalogue(t):
    for name in ("castle.map", "E1L8.MAP", "Mixed.Map", "notes.txt", "castle.map.bak", ".hid.map"):
        open(os.path.join(t.folder, name), "wb").close()
    os.mkdir(os.path.join(t.folder, "b_folder.map"))
    numbers = [200 + i for i in range(68)]
    colours = Database.DEFAULT_COLOURS[:7] + ["12,34,56"]
    Database(slots={2: "old.map", 5: "five.map", 67: "z.map"}, selection=2, numbers=numbers,
             colours=colours).write(t.folder)
    win = t.start()

    def picked(slot, row, repeat, what, picker=None):
        picker = picker or open_picker(t, win)
        win.click(slot_place(slot))
        picker.click_row(row, repeat)
        if repeat == 1:
            picker.click(PLACES["Ok"])
        t.x.wait_no_window(PICKER_TITLE)
        return wait_file(t.folder, lambda d: d.slots[slot] == what, "%r in slot %d" % (what, slot))
    db = picked(5, 2, 2, "castle.map")  # E1L8.MAP, Mixed.Map, castle.map
    assert (db.numbers[5], db.numbers[2], db.slots[2], db.selection) == (5, 202, "old.map", 5)
    picker = open_picker(t, win, False)
    assert picker.highlighted_rows(), "the picker lost its selection"
    before = picked(7, 1, 1, "mixed.map", picker).raw
    open_picker(t, win, False).close()
    t.x.wait_no_window(PICKER_TITLE)
    win.click(slot_place(2))
    picker = open_picker(t, win)
    assert picker.highlighted_rows() == [], "a fresh picker shows a selection"
    picker.click(PLACES["Ok"])
    db = wait_file(t.folder, lambda d: d.slots[2] == "", "slot 2 emptied")
    assert db.raw == before.replace('202,"old.map"', '2,""').replace("\r\n7\r\n", "\r\n2\r\n")
    win.click(slot_place(5))
    win.click(PLACES["Clear"])
    db = wait_file(t.folder, lambda d: d.slots[5] == "", "slot 5 cleared")
    assert db.numbers[5] == 5 and db.selection == 5 and db.slots[67] == "z.map"
    win.key("ctrl+z")
    t.x.answer("Erase All Maps", "n")
    win.key("ctrl+z")
    t.x.wait_window("Erase All Maps")  # the first question's command has ended
    assert Database.read(t.folder).raw == db.raw, "the file changed after No"
    t.x.answer("Erase All Maps", "y")
    db = wait_file(t.folder, lambda d: d.numbers == list(range(68)), "the renumbered file")
    assert db.slots == [""] * 68 and db.selection == 5 and db.colours == colours
    t.quit(win)

    names = {3: "c.map", 4: "x.map", 9: "b.map", 21: "e1l1.map", 22: "E2L1.MAP", 50: "a.map"}
    Database(slots=names, selection=4, numbers=numbers).write(t.folder)
    before, win = Database.read(t.folder).raw, t.start()
    win.key("alt+m")  # Moveme
    win.click(slot_place(9))
    assert Database.read(t.folder).raw == before, "the file changed before the move completed"
    win.click(PLACES["Towhere"])  # shown over the command column once Moveme is handled
    db = wait_file(t.folder, lambda d: d.slots[9] == "x.map", "the move")
    assert (db.slots[4], db.numbers) == ("b.map", numbers)
    wait_until(lambda: win.pixel(255, 270) == (0, 0, 0), 5, "slot 0 chosen after the move")
    win.click(slot_place(50))
    win.key("ctrl+o")
    t.x.wait_window("Sort-O-Matic")
    expected = ["E2L1.MAP", "a.map", "b.map", "c.map", "e1l1.map", "x.map"]
    db = Database.read(t.folder)
    assert (db.slots, db.numbers, db.selection) == (expected + [""] * 62, numbers, 50), db.slots
    t.x.answer("Sort-O-Matic", "Return")
    t.quit(win)
    assert Database.read(t.folder).selection == 0, "slot 0 is not current after the sort"
