# SPDX-License-Identifier: MIT
"""Running the game's programs (stand-ins that log what they got and saw): the game and the
setup program with the chosen slot's map, from button, shortcut and menu, each with exactly its
command line's arguments in the game folder, maximised and in front; a blank splits a name into
two arguments, a hostile name arrives as plain bytes, a lower-case name reaches the program as
the file's real name, a free slot says "Duh!" and starts nothing. The editor with a map gets "Y"
no sooner than two seconds after its window came up, then the question; No starts nothing, Yes
the game with the map. Without a map the editor gets "Y" at once and no question. Random picks a
filled slot other than the last pick's, changes the mascot's pose, starts nothing, and with an
empty catalogue says "*SHEESH!*"; the mascot's click shows its message."""
import os
import time

from xsession import (PLACES, Database, Standins, end, install_standins, run_command, scenario,
                      slot_place, wait_until)

HOSTILE = "$(touch${IFS}pwned);`touch${IFS}pwned2`&&x.map"
QUESTION = "Helpful Shortcut :)"
GAME, SETUP = ["duke3d.exe", "-map", "e1l8.map"], ["setup.exe", "-map", "e1l8.map"]


@scenario
def run_programs(t):
    install_standins(t)
    open(os.path.join(t.folder, "E2L1.MAP"), "w").close()
    slots = {5: "e1l8.map", 9: HOSTILE, 12: "my map.map", 20: "e2l1.map"}
    Database(slots=slots, selection=5).write(t.folder)
    win = t.start()
    s = Standins(t.folder)

    def started(argv, stop=True):
        e = s.wait_start(argv[0])
        assert (e["argv"], e["cwd"]) == (argv, os.path.realpath(t.folder)), e
        s.wait_event(e["pid"], "maximised")
        s.wait_event(e["pid"], "focus")
        if stop:
            end(e["pid"])
        return e

    for slot, command, way, argv in (
            (5, "RID", "button", GAME), (5, "RIS", "button", SETUP), (5, "RID", "shortcut", GAME),
            (5, "RIS", "shortcut", SETUP), (5, "RID", "menu", GAME), (5, "RIS", "menu", SETUP),
            (12, "RID", "shortcut", ["duke3d.exe", "-map", "my", "map.map"]),
            (9, "RIS", "shortcut", ["setup.exe", "-map", HOSTILE]),
            (20, "RID", "shortcut", ["duke3d.exe", "-map", "E2L1.MAP"]),
            (0, "RD", "menu", ["duke3d.exe"])):
        win.activate()
        win.click(slot_place(slot))
        run_command(win, command, way)
        started(argv)
    assert not [n for n in os.listdir(t.folder) if n.startswith("pwned")], "a shell ran"
    mark = s.seen
    for command in ("RID", "RIS", "RIB"):
        run_command(win, command, "shortcut")
        t.x.answer("Duh!", "Return")
    assert not s.starts_since(mark), "a program started from a free slot"

    # The editor with a map: No, then Yes.
    win.click(slot_place(5))
    for answer, way in (("n", "button"), ("y", "menu")):
        run_command(win, "RIB", way)
        e = started(["Build.exe", "e1l8.map"], stop=False)
        mapped = s.wait_event(e["pid"], "mapped")[0]["t"]
        t.x.wait_window(QUESTION)
        asked = time.monotonic()
        keys = s.wait_event(e["pid"], "key", 5)  # logged once the editor has read it
        assert [k["key"] for k in keys] == ["Y"], "the editor got %r" % keys
        assert keys[0]["t"] - mapped >= 2.0, "the Y came %.3f s after the window" % (
            keys[0]["t"] - mapped)
        assert keys[0]["t"] <= asked, "the question came before the key"
        t.x.answer(QUESTION, answer)
        end(e["pid"])
    game = started(GAME)
    assert not s.events_of(game["pid"], "key") and len(s.starts_since(mark)) == 3
    for way in ("shortcut", "menu"):
        run_command(win, "RB", way)
        e = started(["build.exe"], stop=False)
        key = s.wait_event(e["pid"], "key", 5)[0]
        assert key["key"] == "Y" and key["t"] - s.events_of(e["pid"], "focus")[0]["t"] < 1.0
        end(e["pid"])
        run_command(win, "RD", "shortcut")  # a question would hold it back
        started(["duke3d.exe"])
        assert t.x.find_window(QUESTION) is None

    # Random: a new pose at every pick, a filled slot chosen, nothing started; one unseeded
    # source, so that every run picks alike.
    t.quit(win)
    mark = s.seen

    def picks(count):
        win = t.start()
        shown = win.grab(PLACES["Wobbin"])
        for i in range(count):
            win.activate()
            win.click(PLACES["Random"])
            before = shown
            shown = wait_until(lambda: (i == 0 or win.grab(PLACES["Wobbin"]) != before)
                               and win.grab(PLACES["Wobbin"]), 5, "the mascot's new pose")
        t.quit(win)
        return Database.read(t.folder).selection
    first = picks(1)
    assert first in slots and picks(5) in slots and picks(1) == first
    assert not s.starts_since(mark), "Random started a program"
    win = t.start()
    win.click(PLACES["Wobbin"])
    t.x.answer("This is synonymous with cheeze", "Return")
    t.quit(win)
    Database(selection=7).write(t.folder)
    win = t.start()
    win.click(PLACES["Random"])
    t.x.answer("*SHEESH!*", "Return")
    t.quit(win)
    assert Database.read(t.folder).selection == 7
