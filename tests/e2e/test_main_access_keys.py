#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Access keys: Alt with the letter after '&' reaches each command button (Add Map, Move Map,
Clear Map Slot, Run In Duke3d / Build / Setup, Random, Quit); a letter alone does nothing, and
a map name is data: slot 5 holding "a&z.map" is not chosen by Alt+Z. The main window's keys
typed into another window do not reach it. A key that must do nothing is followed by a slot
click, which is handled after it, so that the check waits on an event instead of on time."""
from xsession import MAIN_PLACES, Database, scenario, slot_place, wait_until

YELLOW = (255, 255, 0)


def chosen(t, win, k):
    """Whether slot k shows its black dot (the circle's middle, 9 by 10 pixels into it)."""
    left, top, _, _ = slot_place(k)
    return win.pixel_twips(t.x.screenshot(), left + 9 * 15, top + 10 * 15) == (0, 0, 0)


def setup_face(t, win):
    left, top, _, _ = MAIN_PLACES["Setup"]
    return win.pixel_twips(t.x.screenshot(), left + 150, top + 150)


def nothing_then_click(t, win, key, slot):
    win.key(key)
    win.click_control(slot_place(slot))
    wait_until(lambda: chosen(t, win, slot), 5, "slot %d chosen after %r" % (slot, key))


@scenario
def access_keys(t):
    Database(slots={5: "a&z.map", 9: "e1l9.map"}, selection=9).write(t.folder)
    win = t.start()
    for letter in "amc":
        nothing_then_click(t, win, letter, 3)
    assert t.x.find_window("Add Map") is None and setup_face(t, win) == YELLOW
    assert Database.read(t.folder).slots[5] == "a&z.map", "a plain C cleared slot 5"
    # The about box opens after Alt+Z is handled; Alt+Q and Ctrl+Q in it reach neither Quit nor
    # File > Exit.
    win.key("alt+z", "ctrl+a")
    about = t.x.wait_window("About Dorvane")
    assert chosen(t, win, 3), "Alt+Z chose the map named a&z.map"
    t.x.activate(about)
    t.x.key("alt+q", "ctrl+q")
    t.x.click_close_box(about)
    t.x.wait_no_window("About Dorvane")

    win.key("alt+a")
    t.x.click_close_box(t.x.wait_window("Add Map"))
    t.x.wait_no_window("Add Map")
    win.click_control(slot_place(5))
    win.key("alt+m")  # move mode: Towhere covers the button column
    wait_until(lambda: setup_face(t, win) != YELLOW, 5, "move mode")
    win.click_control(MAIN_PLACES["Towhere"])
    wait_until(lambda: setup_face(t, win) == YELLOW and chosen(t, win, 0), 5, "normal mode")
    win.click_control(slot_place(5))
    win.key("alt+c")
    wait_until(lambda: Database.read(t.folder).slots[5] == "", 5, "slot 5 cleared")
    # The run buttons on the now empty slot each ask for a map first.
    for letter in "dbs":
        win.key("alt+" + letter)
        box = t.x.wait_window("Duh!")
        t.x.activate(box)
        t.x.key("Return")
        t.x.wait_no_window("Duh!")
    win.key("alt+r")  # Random picks the one filled slot left
    wait_until(lambda: chosen(t, win, 9), 5, "the random pick of slot 9")

    nothing_then_click(t, win, "q", 7)
    assert t.running(), "a plain Q ended the program"
    win.key("alt+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 7 and db.slots[9] == "e1l9.map"
