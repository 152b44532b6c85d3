#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Two Dorvane windows on one game folder: neither undoes what the other saved. A clears a slot
and B quits; A adds a map and B quits: both changes stay. A sorts and B then clears a slot the
sort had filled anew: B asks, and No keeps the sort whole."""
import os
import subprocess

from editing import open_picker, wait_file
from xsession import (AREA_SIZE, MAIN_PLACES, MAIN_TITLE, Database, Window, scenario,
                      slot_place, wait_until)

NAMES = {1: "zeta.map", 3: "alpha.map", 5: "five.map", 8: "mid.map"}


def main_windows(t):
    out = t.x.run_tool(["xdotool", "search", "--onlyvisible", "--name",
                        "^%s$" % MAIN_TITLE.replace("(", r"\(").replace(")", r"\)")],
                       check=False)
    return [int(w) for w in out.split()]


def start_second(t, first):
    """Starts a second program in the same folder; returns it and its main window."""
    log = open(os.path.join(t.folder, ".dorvane-output-b"), "ab")
    proc = t.x.spawn([t.binary], cwd=t.folder, stdout=log, stderr=subprocess.STDOUT)
    log.close()
    wid = wait_until(lambda: next((w for w in main_windows(t) if w != first.wid), None), 10,
                     "the second main window")
    win = Window(t.x, wid, round(AREA_SIZE[1] * t.x.dpi / 96.0))
    win.wait_painted()
    return proc, win


def quit_second(proc, win):
    win.key("ctrl+q")
    wait_until(lambda: proc.poll() is not None, 10, "the second program to end")
    assert proc.returncode == 0


def click(win, place):
    win.activate()
    win.click_control(place)


@scenario
def two_windows(t):
    open(os.path.join(t.folder, "new.map"), "wb").close()
    Database(slots=NAMES, selection=1).write(t.folder)
    a = t.start()

    proc, b = start_second(t, a)
    click(a, slot_place(5))
    click(a, MAIN_PLACES["Clear"])
    wait_file(t, lambda d: d.slots[5] == "", "A's clear of slot 5")
    quit_second(proc, b)
    db = Database.read(t.folder)
    assert db.slots[5] == "", "B's quit brought slot 5 back"
    assert db.slots[1] == "zeta.map" and db.slots[8] == "mid.map"

    proc, b = start_second(t, a)
    click(a, slot_place(10))
    picker = open_picker(t, a)
    picker.click_row(0, repeat=2)
    wait_file(t, lambda d: d.slots[10] == "new.map", "A's new map in slot 10")
    quit_second(proc, b)
    db = Database.read(t.folder)
    assert db.slots[10] == "new.map", "B's quit removed A's map"
    assert db.slots[5] == ""

    proc, b = start_second(t, a)
    a.key("ctrl+o")
    box = t.x.wait_window("Sort-O-Matic")
    t.x.activate(box)
    t.x.key("Return")
    t.x.wait_no_window("Sort-O-Matic")
    sort = ["alpha.map", "mid.map", "new.map", "zeta.map"]
    assert Database.read(t.folder).slots[:4] == sort
    # B still shows alpha.map in slot 3, where the sort put zeta.map.
    click(b, slot_place(3))
    click(b, MAIN_PLACES["Clear"])
    question = t.x.wait_window("Dorvane")
    t.x.activate(question)
    t.x.key("n")
    t.x.wait_no_window("Dorvane")
    db = Database.read(t.folder)
    assert db.slots[:4] == sort and db.slots[4:] == [""] * 64, db.slots[:12]
    quit_second(proc, b)
    assert Database.read(t.folder).slots[:4] == sort

    a.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.slots[:4] == sort and db.selection == 0
