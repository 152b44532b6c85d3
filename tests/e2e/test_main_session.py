# SPDX-License-Identifier: MIT
"""The first run's message before the window; every way of ending stores the selection, only it."""
import os
import signal

from xsession import MAIN_TITLE, PLACES, Database, scenario, slot_place


@scenario
def sessions(t):
    t.start(wait_main=False)
    t.x.wait_window("Dorvane")
    assert not t.x.windows(MAIN_TITLE), "the main window is on the screen before OK"
    t.x.answer("Dorvane", "Return")
    t.quit(t.main_window())
    db = Database.read(t.folder)
    assert (db.slots, db.numbers, db.selection, db.colours) == (
        [""] * 68, list(range(68)), 0, Database.DEFAULT_COLOURS)
    numbers = list(range(12)) + [300] + list(range(13, 68))  # kept by every write
    names = {0: "e1l1.map", 12: "e1l8.map", 67: "last.map"}
    Database(slots=names, selection=12, numbers=numbers).write(t.folder)

    def under(key, title, end):  # ends the program with the window `title` open
        return lambda win: [win.key(key), t.x.wait_window(title), end(win)]
    signal_to = lambda number: lambda win: t.proc.send_signal(number)
    about = lambda end: under("ctrl+a", "About Dorvane", end)
    ends = {None: lambda win: win.key("ctrl+q"), 5: lambda win: win.key("alt+q"),
            6: lambda win: win.click(PLACES["Quit"]), 7: lambda win: win.close(),
            8: lambda win: [win.open_menu(0), t.x.key("Down", "Return")],  # Exit
            # Ending nothing: the click after them is what Ctrl+Q stores.
            3: lambda win: [win.key("q", "Escape", "alt+z"), win.click(slot_place(11)),
                            win.key("ctrl+q")],
            9: about(signal_to(signal.SIGTERM)), 10: about(signal_to(signal.SIGINT)),
            66: about(signal_to(signal.SIGHUP)),
            14: under("ctrl+z", "Erase All Maps", signal_to(signal.SIGTERM)),
            15: about(lambda win: t.x.run_tool(["xkill", "-id", str(win.wid)]))}  # X connection
    stored = 12
    for slot, end in ends.items():
        win = t.start()
        assert not t.x.windows("Dorvane"), "a message box came up for a complete file"
        if slot is not None:
            win.click(slot_place(slot))
        end(win)
        assert t.wait_exit() == 0, "the program did not end cleanly"
        stored = 11 if slot == 3 else stored if slot is None else slot
        db = Database.read(t.folder)
        assert db.selection == stored, "selection %r, expected %d" % (db.selection, stored)
        assert {k: db.slots[k] for k in names} == names and db.numbers == numbers
        assert sorted(os.listdir(t.folder)) == [".dorvane-output", "Qimdat.dat"], "left beside"
