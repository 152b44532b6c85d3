#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""First run in an empty folder: the message about the new database file comes before the main
window exists on the screen; after OK the window opens with slot 0 chosen, and quitting right
away stores 0 as the selection in a fresh 77-line file."""
from xsession import MAIN_TITLE, Database, scenario


@scenario
def first_run(t):
    t.start(wait_main=False)
    box = t.x.wait_window("Dorvane")
    assert t.x.find_window(MAIN_TITLE) is None, "the main window is on the screen before OK"
    t.x.activate(box)
    t.x.key("Return")
    t.x.wait_no_window("Dorvane")
    win = t.main_window()

    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.slots == [""] * 68 and db.numbers == list(range(68))
    assert db.selection == 0, "selection line is %r" % db.selection
    assert db.colours == Database.DEFAULT_COLOURS
