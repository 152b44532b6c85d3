# SPDX-License-Identifier: MIT
"""Two Dorvane windows on one game folder: neither undoes what the other saved. A clears a slot
and adds a map while B is open; B's quit keeps both. A sorts; B then clears a slot the sort
filled anew: B asks, and No keeps the sort whole."""
import os

from xsession import MAIN_PLACES, Database, Test, open_picker, scenario, slot_place, wait_file


@scenario
def two_windows(t):
    open(os.path.join(t.folder, "new.map"), "wb").close()
    Database(slots={1: "zeta.map", 3: "alpha.map", 5: "five.map", 8: "mid.map"},
             selection=1).write(t.folder)
    a = t.start()
    other = Test(t.binary, t.x, t.folder)
    b = other.start(wait_main=False) or other.main_window(other_than=a.wid)
    a.activate()
    a.click_control(slot_place(5))
    a.click_control(MAIN_PLACES["Clear"])
    wait_file(t.folder, lambda d: d.slots[5] == "", "A's clear of slot 5")
    a.click_control(slot_place(10))
    open_picker(t, a).click_row(0, repeat=2)
    wait_file(t.folder, lambda d: d.slots[10] == "new.map", "A's new map in slot 10")
    other.quit(b)
    db = Database.read(t.folder)
    assert (db.slots[5], db.slots[10], db.slots[1]) == ("", "new.map", "zeta.map"), db.slots[:12]

    b = other.start(wait_main=False) or other.main_window(other_than=a.wid)
    a.key("ctrl+o")
    t.x.answer("Sort-O-Matic", "Return")
    sort = ["alpha.map", "mid.map", "new.map", "zeta.map"]
    assert Database.read(t.folder).slots[:4] == sort
    b.activate()  # B still shows alpha.map in slot 3, where the sort put zeta.map
    b.click_control(slot_place(3))
    b.click_control(MAIN_PLACES["Clear"])
    t.x.answer("Dorvane", "n")
    other.quit(b)
    t.quit(a)
    db = Database.read(t.folder)
    assert db.slots == sort + [""] * 64 and db.selection == 0, db.slots[:12]
