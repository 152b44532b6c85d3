# SPDX-License-Identifier: MIT
"""A player's sessions from the first run on: the message about the new file comes before the main
window; the selection made is stored by every way of ending (Ctrl+Q, Alt+Q, Quit, the close box,
File > Exit from F10, SIGTERM, SIGINT, SIGHUP, SIGTERM under an open question, the X connection
dropped) and chosen at the next start, while a plain Q, Escape and Alt+Z end nothing. Each time the
program exits with 0, the rest of the file is as it was and nothing is left beside it."""
import os
import signal

from xsession import MAIN_TITLE, PLACES, Database, scenario, slot_place


@scenario
def sessions(t):
    t.start(wait_main=False)
    t.x.wait_window("Dorvane")
    assert t.x.find_window(MAIN_TITLE) is None, "the main window is on the screen before OK"
    t.x.answer("Dorvane", "Return")
    t.quit(t.main_window())
    db = Database.read(t.folder)
    assert (db.slots, db.numbers, db.selection) == ([""] * 68, list(range(68)), 0)
    assert db.colours == Database.DEFAULT_COLOURS

    numbers = list(range(68))
    numbers[12] = 300  # a number other than the slot's index survives every write
    names = {0: "e1l1.map", 12: "e1l8.map", 67: "last.map"}
    Database(slots=names, selection=12, numbers=numbers).write(t.folder)

    def file_menu_exit(win):
        win.open_menu(0, by_key=True)
        t.x.key("Down", "Return")

    def keys_that_end_nothing(win):
        win.key("q", "Escape", "alt+z")
        win.click(slot_place(11))  # still taken: this is what Ctrl+Q stores
        win.key("ctrl+q")

    def under(key, title, end):
        def ended(win):
            win.key(key)
            t.x.wait_window(title)  # the click before has been handled
            end(win)
        return ended

    signal_to = lambda number: lambda win: t.proc.send_signal(number)
    about = lambda end: under("ctrl+a", "About Dorvane", end)
    ends = [(None, lambda win: win.key("ctrl+q")), (5, lambda win: win.key("alt+q")),
            (6, lambda win: win.click(PLACES["Quit"])), (7, lambda win: win.close()),
            (8, file_menu_exit), (3, keys_that_end_nothing),
            (9, about(signal_to(signal.SIGTERM))), (10, about(signal_to(signal.SIGINT))),
            (66, about(signal_to(signal.SIGHUP))),
            (14, under("ctrl+z", "Erase All Maps", signal_to(signal.SIGTERM))),
            (15, about(lambda win: t.x.run_tool(["xkill", "-id", str(win.wid)])))]
    stored = 12
    for slot, end in ends:
        win = t.start()
        assert t.x.find_window("Dorvane") is None, "a message box came up for a complete file"
        if slot is not None:
            win.click(slot_place(slot))
        end(win)
        assert t.wait_exit() == 0, "the program did not end cleanly"
        stored = 11 if slot == 3 else slot if slot is not None else stored
        db = Database.read(t.folder)
        assert db.selection == stored, "selection %r, expected %d" % (db.selection, stored)
        assert {k: db.slots[k] for k in names} == names and db.numbers == numbers
        left = sorted(n for n in os.listdir(t.folder) if n != ".dorvane-output")
        assert left == ["Qimdat.dat"], "left beside the file: %r" % left
