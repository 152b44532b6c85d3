#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game and the setup program with the chosen slot's map, from button, menu and shortcut:
each gets exactly its command line's arguments in the game folder, and its window is maximised
and focused. A free slot gives "Duh!" and starts nothing; a map name with a blank arrives as two
arguments; a hostile name arrives as plain bytes and runs nothing else; a map stored lower-case
whose file differs only in letter case reaches the program under its real name."""
import os

from launcher_support import Standins, answer_box, end, install_standins, run_command
from xsession import Database, scenario, slot_place

HOSTILE = "$(touch${IFS}pwned);`touch${IFS}pwned2`&&x.map"


def started_in_front(s, name, argv, folder):
    e = s.wait_start(name)
    assert e["argv"] == argv, "%s got %r" % (name, e["argv"])
    assert e["cwd"] == folder, "%s runs in %r" % (name, e["cwd"])
    s.wait_event(e["pid"], "maximised")
    s.wait_event(e["pid"], "focus")
    end(e["pid"])
    return e


@scenario
def with_map(t):
    install_standins(t)
    with open(os.path.join(t.folder, "E2L1.MAP"), "w") as f:
        f.write("map\n")
    slots = {5: "e1l8.map", 9: HOSTILE, 12: "my map.map", 20: "e2l1.map"}
    Database(slots=slots, selection=5).write(t.folder)
    folder = os.path.realpath(t.folder)
    win = t.start()
    s = Standins(t.folder)

    for way in ("button", "shortcut", "menu"):
        run_command(t, win, "RID", way)
        started_in_front(s, "duke3d.exe", ["duke3d.exe", "-map", "e1l8.map"], folder)
        run_command(t, win, "RIS", way)
        started_in_front(s, "setup.exe", ["setup.exe", "-map", "e1l8.map"], folder)

    # A free slot: the message, from the button and from the shortcut, and nothing started.
    mark = len(s.new_events()) + s.seen
    win.activate()
    win.click_control(slot_place(0))
    run_command(t, win, "RID", "button")
    answer_box(t, "Duh!", "Return")
    run_command(t, win, "RIS", "shortcut")
    answer_box(t, "Duh!", "Return")
    # The next command's program is the first to start after the free slot's attempts.
    win.click_control(slot_place(12))
    run_command(t, win, "RID", "shortcut")
    started_in_front(s, "duke3d.exe", ["duke3d.exe", "-map", "my", "map.map"], folder)
    assert len(s.starts_since(mark)) == 1, "a program started from a free slot"

    win.activate()
    win.click_control(slot_place(9))
    run_command(t, win, "RIS", "button")
    e = started_in_front(s, "setup.exe", ["setup.exe", "-map", HOSTILE], folder)
    assert not any(name.startswith("pwned") for name in os.listdir(t.folder)), "a shell ran"

    win.activate()
    win.click_control(slot_place(20))
    run_command(t, win, "RID", "menu")
    started_in_front(s, "duke3d.exe", ["duke3d.exe", "-map", "E2L1.MAP"], folder)

    # The launcher changed nothing in the catalogue: only the selection moved.
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    db = Database.read(t.folder)
    assert db.selection == 20 and db.slots[9] == HOSTILE and db.slots[20] == "e2l1.map"
