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

from xsession import (MAIN_PLACES, Database, Standins, end, install_standins, run_command,
                      scenario, slot_place, wait_until)

HOSTILE = "$(touch${IFS}pwned);`touch${IFS}pwned2`&&x.map"
QUESTION = "Helpful Shortcut :)"


@scenario
def run_programs(t):
    install_standins(t)
    open(os.path.join(t.folder, "E2L1.MAP"), "w").close()
    slots = {5: "e1l8.map", 9: HOSTILE, 12: "my map.map", 20: "e2l1.map"}
    Database(slots=slots, selection=5).write(t.folder)
    folder = os.path.realpath(t.folder)
    win = t.start()
    s = Standins(t.folder)

    def started(name, argv, keys=0):
        e = s.wait_start(name)
        assert (e["argv"], e["cwd"]) == (argv, folder), "%s got %r in %r" % (name, e["argv"],
                                                                             e["cwd"])
        s.wait_event(e["pid"], "maximised")
        s.wait_event(e["pid"], "focus")
        return e

    for way in ("button", "shortcut", "menu"):
        run_command(t, win, "RID", way)
        end(started("duke3d.exe", ["duke3d.exe", "-map", "e1l8.map"])["pid"])
        run_command(t, win, "RIS", way)
        end(started("setup.exe", ["setup.exe", "-map", "e1l8.map"])["pid"])
    for slot, command, argv in ((12, "RID", ["duke3d.exe", "-map", "my", "map.map"]),
                                (9, "RIS", ["setup.exe", "-map", HOSTILE]),
                                (20, "RID", ["duke3d.exe", "-map", "E2L1.MAP"])):
        win.activate()
        win.click_control(slot_place(slot))
        run_command(t, win, command, "shortcut")
        end(started(argv[0], argv)["pid"])
    assert not [n for n in os.listdir(t.folder) if n.startswith("pwned")], "a shell ran"
    mark = s.seen
    win.click_control(slot_place(0))
    for command in ("RID", "RIS", "RIB"):
        run_command(t, win, command, "shortcut")
        t.x.answer("Duh!", "Return")
    assert not s.starts_since(mark), "a program started from a free slot"

    # The editor with a map: No, then Yes.
    win.click_control(slot_place(5))
    for answer, way in (("n", "button"), ("y", "menu")):
        run_command(t, win, "RIB", way)
        e = started("build.exe", ["Build.exe", "e1l8.map"])
        mapped = s.wait_event(e["pid"], "mapped")[0]["t"]
        t.x.wait_window(QUESTION)
        asked = time.monotonic()
        typed = lambda: [k for k in s.events_of(e["pid"], "key") if k["key"]]  # not the Shift
        keys = wait_until(typed, 5, "the editor's key")  # logged once the editor has read it
        assert [k["key"] for k in keys] == ["Y"], "the editor got %r" % keys
        assert keys[0]["t"] - mapped >= 2.0, "the Y came %.3f s after the window" % (
            keys[0]["t"] - mapped)
        assert keys[0]["t"] <= asked, "the question came before the key"
        t.x.answer(QUESTION, answer)
        end(e["pid"])
    game = started("duke3d.exe", ["duke3d.exe", "-map", "e1l8.map"])
    assert not [k for k in s.events_of(game["pid"], "key") if k["key"]]
    end(game["pid"])
    assert len(s.starts_since(mark)) == 3, "No started a program"
    for way in ("shortcut", "menu"):
        run_command(t, win, "RB", way)
        e = started("build.exe", ["build.exe"])
        focus = s.wait_event(e["pid"], "focus")[0]["t"]
        key = wait_until(lambda: [k for k in s.events_of(e["pid"], "key") if k["key"]], 5,
                         "the editor's key")[0]
        assert key["key"] == "Y" and key["t"] - focus < 1.0, key
        end(e["pid"])
        run_command(t, win, "RD", "shortcut")  # a question would hold it back
        end(started("duke3d.exe", ["duke3d.exe"])["pid"])
        assert t.x.find_window(QUESTION) is None

    # Random: a new pose at every pick, a filled slot chosen, nothing started; one unseeded
    # source, so that every run picks alike.
    t.quit(win)
    mark = s.seen

    def picks(count):
        win = t.start()
        shown = win.grab(MAIN_PLACES["Wobbin"])
        for i in range(count):
            win.activate()
            win.click_control(MAIN_PLACES["Random"])
            before = shown
            shown = wait_until(lambda: (i == 0 or win.grab(MAIN_PLACES["Wobbin"]) != before)
                               and win.grab(MAIN_PLACES["Wobbin"]), 5, "the mascot's new pose")
        t.quit(win)
        return Database.read(t.folder).selection
    first = picks(1)
    assert first in slots and picks(5) in slots and picks(1) == first
    assert not s.starts_since(mark), "Random started a program"
    win = t.start()
    win.click_control(MAIN_PLACES["Wobbin"])
    t.x.answer("This is synonymous with cheeze", "Return")
    t.quit(win)
    Database(selection=7).write(t.folder)
    win = t.start()
    win.click_control(MAIN_PLACES["Random"])
    t.x.answer("*SHEESH!*", "Return")
    t.quit(win)
    assert Database.read(t.folder).selection == 7
