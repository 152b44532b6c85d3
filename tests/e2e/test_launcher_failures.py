#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Failures: a missing program gives "Error!" ("Make sure you have Dorvane in your Duke3d
directory"); for the editor neither the key nor the question follows. A program that fails on
start-up before showing a window is reported the same way, also when it fails only after the
launcher gave its window back; one that runs without a window is no failure and holds the
launcher about a second. Ten launches leave no zombie behind,
and no started program inherits a descriptor of the launcher."""
from launcher_support import (Standins, answer_box, children_of, end, install_standins,
                              monotonic, run_command)
from xsession import Database, scenario, wait_until

ERROR = "Error!"


@scenario
def failures(t):
    install_standins(t, names=("duke3d.exe",))
    Database(slots={0: "e1l8.map"}, selection=0).write(t.folder)
    win = t.start()
    s = Standins(t.folder)

    for command, way in (("RIS", "button"), ("RS", "menu"), ("RIB", "shortcut"),
                         ("RB", "shortcut")):
        run_command(t, win, command, way)
        answer_box(t, ERROR, "Return")
    assert t.x.find_window("Helpful Shortcut :)") is None

    # Ten launches, each ended again: no zombie is left, and each had only the three
    # standard descriptors.
    pids = []
    for _ in range(10):
        run_command(t, win, "RD", "shortcut")
        e = s.wait_start("duke3d.exe")
        assert e["fds"] == [0, 1, 2], "inherited descriptors %r" % e["fds"]
        s.wait_event(e["pid"], "focus")
        pids.append(e["pid"])
        end(e["pid"])
    launcher = t.proc.pid
    wait_until(lambda: not [p for p, _ in children_of(launcher) if p in pids], 10,
               "the ended programs to be reaped")
    assert not [p for p, state in children_of(launcher) if state == "Z"]
    assert not s.starts_since(0)[10:], "more programs started than asked for"
    win.key("ctrl+q")
    assert t.wait_exit() == 0

    # A program that ends with an error before it shows a window: "Error!" as well.
    t.x.env["DORVANE_STANDIN_EXIT"] = "3"
    win = t.start()
    run_command(t, win, "RID", "button")
    answer_box(t, ERROR, "Return")
    e = s.wait_start("duke3d.exe")
    assert e["argv"] == ["duke3d.exe", "-map", "e1l8.map"]
    win.key("ctrl+q")
    assert t.wait_exit() == 0

    # One that fails only after the launcher gave its window back: "Error!" comes later.
    t.x.env["DORVANE_STANDIN_DELAY"] = "2"
    win = t.start()
    run_command(t, win, "RD", "shortcut")
    pressed = monotonic()
    s.wait_start("duke3d.exe")
    answer_box(t, ERROR, "Return")
    told = monotonic() - pressed
    assert told >= 1.5, "told %.2f s after the key, before the program failed" % told
    win.key("ctrl+q")
    assert t.wait_exit() == 0

    # One that runs and shows no window: no message, and the launcher answers again (here: its
    # about box opens) about a second after the key, not when the program ends.
    del t.x.env["DORVANE_STANDIN_EXIT"]
    del t.x.env["DORVANE_STANDIN_DELAY"]
    t.x.env["DORVANE_STANDIN_NO_WINDOW"] = "1"
    win = t.start()
    run_command(t, win, "RD", "shortcut")
    pressed = monotonic()
    t.x.key("ctrl+a")
    t.x.wait_window("About Dorvane")
    answered = monotonic() - pressed
    assert answered < 2.0, "the launcher answered %.2f s after the key" % answered
    assert t.x.find_window(ERROR) is None
    end(s.wait_start("duke3d.exe")["pid"])
    win.key("ctrl+q")
    assert t.wait_exit() == 0
