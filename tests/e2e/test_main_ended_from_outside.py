#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Ended from outside: SIGTERM (a logout), SIGINT and SIGHUP save like closing the window, also
while a question is open, and so does the X server closing the program's connection. Each time
the program exits with status 0, the file holds the selection made just before, whole, and no
temporary file is left beside it."""
import os
import signal

from xsession import Database, scenario, slot_place

ABOUT = "About Dorvane"
QUESTION = "Erase All Maps"
NAMES = {1: "b.map", 2: "a.map", 40: "z.map"}


def files_left(t):
    return sorted(n for n in os.listdir(t.folder) if n != ".dorvane-output")


def choose_then(t, k, shown_key, shown_title):
    """Starts the program, chooses slot k and opens a window; once that window shows, the click
    before it has been handled (the X server delivers events in order)."""
    win = t.start()
    win.click_control(slot_place(k))
    win.key(shown_key)
    t.x.wait_window(shown_title)
    return win


def expect_saved(t, k):
    assert t.wait_exit() == 0, "the program did not end cleanly"
    db = Database.read(t.folder)
    assert db.selection == k, "selection %r, expected %d" % (db.selection, k)
    assert {i: db.slots[i] for i in NAMES} == NAMES, "the catalogue changed"
    assert files_left(t) == ["Qimdat.dat"], "left beside the file: %r" % files_left(t)


@scenario
def ended_from_outside(t):
    Database(slots=NAMES, selection=1).write(t.folder)
    for k, number in ((5, signal.SIGTERM), (6, signal.SIGINT), (7, signal.SIGHUP)):
        choose_then(t, k, "ctrl+a", ABOUT)
        t.proc.send_signal(number)
        expect_saved(t, k)

    # With the modal question of Clear Database open: saved, and nothing erased.
    choose_then(t, 9, "ctrl+z", QUESTION)
    t.proc.send_signal(signal.SIGTERM)
    expect_saved(t, 9)

    # The X server drops the connection (as when the session ends under the program).
    win = choose_then(t, 11, "ctrl+a", ABOUT)
    t.x.run_tool(["xkill", "-id", str(win.wid)])
    expect_saved(t, 11)
