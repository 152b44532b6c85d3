#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Access keys: Alt with the letter after '&' reaches each command button (Add Map, Move Map,
Clear Map Slot, Run In Duke3d / Build / Setup, Random, Quit); a letter alone does nothing, and
a map name is data: slot 5 holding "a&z.map" is not chosen by Alt+Z. The main window's keys
typed into another window do not reach it. A key that must do nothing is followed by a slot
click, which is handled after it, so that the check waits on an event instead of on time."""
from xsession import PLACES, Database, scenario, slot_place, wait_until

YELLOW = (255, 255, 0)


@scenario
def access_keys(t):
    Database(slots={5: "a&z.map", 9: "e1l9.map"}, selection=9).write(t.folder)
    win = t.start()
    chosen = lambda k: win.pixel(slot_place(k)[0] + 135, slot_place(k)[1] + 150) == (0, 0, 0)
    setup_face = lambda: win.pixel(PLACES["Setup"][0] + 150, PLACES["Setup"][1] + 150)

    def nothing_then_click(key, slot):
        win.key(key)
        win.click(slot_place(slot))
        wait_until(lambda: chosen(slot), 5, "slot %d chosen after %r" % (slot, key))
    for letter in "amc":
        nothing_then_click(letter, 3)
    assert t.x.find_window("Add Map") is None and setup_face() == YELLOW
    assert Database.read(t.folder).slots[5] == "a&z.map", "a plain C cleared slot 5"
    # The about box opens after Alt+Z is handled; Alt+Q and Ctrl+Q in it reach neither Quit nor
    # File > Exit.
    win.key("alt+z", "ctrl+a")
    about = t.x.wait_window("About Dorvane")
    assert chosen(3), "Alt+Z chose the map named a&z.map"
    t.x.activate(about)
    t.x.key("alt+q", "ctrl+q")
    t.x.click_close_box(about)
    t.x.wait_no_window("About Dorvane")

    win.key("alt+a")
    t.x.click_close_box(t.x.wait_window("Add Map"))
    t.x.wait_no_window("Add Map")
    win.click(slot_place(5))
    win.key("alt+m")  # move mode: Towhere covers the button column
    wait_until(lambda: setup_face() != YELLOW, 5, "move mode")
    win.click(PLACES["Towhere"])
    wait_until(lambda: setup_face() == YELLOW and chosen(0), 5, "normal mode")
    win.click(slot_place(5))
    win.key("alt+c")
    wait_until(lambda: Database.read(t.folder).slots[5] == "", 5, "slot 5 cleared")
    for letter in "dbs":  # the run buttons on the now empty slot each ask for a map first
        win.key("alt+" + letter)
        t.x.answer("Duh!", "Return")
    win.key("alt+r")  # Random picks the one filled slot left
    wait_until(lambda: chosen(9), 5, "the random pick of slot 9")

    nothing_then_click("q", 7)
    assert t.proc.poll() is None, "a plain Q ended the program"
    win.key("alt+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 7 and db.slots[9] == "e1l9.map"
