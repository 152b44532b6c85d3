#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Moving a map by clicks: Move Map covers the command column with the Towhere button; the
destination slot is clicked, then Towhere; the two names change places, numbers stay with the
positions, normal mode returns and slot 0 becomes current (the file written by the move holds
the destination as its selection, the next write slot 0)."""
from xsession import MAIN_PLACES, MENU_GREY, Database, scenario, slot_place, wait_until

GAP = (7500, 1000)  # between Add Map and the right-hand buttons: gradient in normal mode


@scenario
def move(t):
    numbers = [500 + i for i in range(68)]
    Database(slots={4: "a.map", 9: "b.map"}, selection=4, numbers=numbers).write(t.folder)
    win = t.start()

    def colours():
        shot = t.x.screenshot()
        left, top, _, _ = MAIN_PLACES["Build"]
        return win.pixel_twips(shot, *GAP), win.pixel_twips(shot, left + 150, top + 150)

    def in_move_mode():
        return colours() == (MENU_GREY, MENU_GREY)

    def in_normal_mode():
        gap, build = colours()
        return gap[1] == 0 and gap != MENU_GREY and build == (255, 0, 0)

    wait_until(in_normal_mode, 5, "normal mode at start-up")
    before = Database.read(t.folder).raw

    win.click_control(MAIN_PLACES["Moveme"])
    wait_until(in_move_mode, 5, "Towhere over the command column")
    win.click_control(slot_place(9))  # the slots stay usable
    assert Database.read(t.folder).raw == before, "the file changed before the move completed"
    win.click_control(MAIN_PLACES["Towhere"])
    wait_until(in_normal_mode, 5, "normal mode after the move")

    db = Database.read(t.folder)
    assert db.slots[4] == "b.map" and db.slots[9] == "a.map", (db.slots[4], db.slots[9])
    assert db.numbers == numbers and db.selection == 9

    win.key("ctrl+q")
    assert t.wait_exit() == 0
    assert Database.read(t.folder).selection == 0
