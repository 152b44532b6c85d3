#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The six launcher commands with Debian's real DOSBox and a real DOS program (the nasm-built
stand-in, tools/dosprobe, as DUKE3D.EXE, BUILD.EXE and SETUP.EXE). Each program gets its exact
command tail, DOSBox comes up in its full screen (its own window has a fixed size no window
manager can maximise), in front with the keyboard focus; the editor's "Y" arrives through the
BIOS two seconds after the key with a map and at once without one; the question follows and its
Yes starts the game with the map; Escape ends the program and DOSBox with it. The launcher
answers again within about a second of each launch. With a dosbox.conf in the game folder,
DOSBox's own setting decides: here a window."""
import os
import shutil
import time

from xsession import (Database, Launch, SeenLog, in_front, print_times, same_client, scenario,
                      top_window, wait_until, window_of_class)

QUESTION = "Helpful Shortcut :)"
SCREEN = (1280, 1024)


def log_lines(folder):
    try:
        with open(os.path.join(folder, "DOSLOG.TXT"), "rb") as f:
            return f.read().decode("latin-1").split("\r\n")[:-1]
    except FileNotFoundError:
        return []


def launch(t, win, log, command, tail, full_screen=True, press=None):
    """Runs `command` (see Launch) and checks the DOS program up to DOSBox in front; returns
    (the time of the key, DOSBox's window, the times seen)."""
    log.start()
    run = Launch(t, win, command, press)
    box = lambda: window_of_class(t, "dosbox")

    def covers():
        top = top_window(t)
        return top and box() and same_client(top[0], box()) and top[1:] == (0, 0) + SCREEN
    run.poll({"started": lambda: log.find(lambda l: l.startswith("tail [")), "window": box,
              "active": lambda: box() and in_front(t, box()),
              "full": covers if full_screen else box},
             15, "the DOS program, DOSBox in front (full screen) and the launcher")
    line, _ = log.wait(lambda l: l.startswith("tail ["), "the DOS program to start")
    assert line == "tail [%s]" % tail, "%s got %r" % (command, line)
    wid = box()
    assert in_front(t, wid), "DOSBox lost the front"
    times = run.since_key()
    if not full_screen:
        del times["full"]
    print_times("dosbox", command, **times)
    answered = times["answered"]
    if command != "RIB":  # the editor's two-second wait is the one deliberate hold
        assert answered < 1.5, "the launcher answered %.2f s after the key" % answered
    return run.t0, wid, run.seen


def end_program(t, log, box):
    t.x.key("Escape")
    log.wait(lambda l: l == "exit", "the DOS program to end")
    wait_until(lambda: box not in [window_of_class(t, "dosbox")], 10, "DOSBox to end")


@scenario
def dosbox(t):
    probe = os.environ["DORVANE_DOSPROBE"]
    for name in ("DUKE3D.EXE", "BUILD.EXE", "SETUP.EXE"):
        shutil.copy(probe, os.path.join(t.folder, name))
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    # A user of its own: DOSBox writes its configuration into the home folder on its first run.
    home = os.path.join(t.folder, "home")
    os.mkdir(home)
    t.x.env.update(HOME=home, SDL_AUDIODRIVER="dummy")
    win = t.start()
    log = SeenLog(lambda: log_lines(t.folder))

    for command, tail in (("RID", " -map e1l8.map"), ("RIS", " -map e1l8.map"), ("RD", ""),
                          ("RS", "")):
        _, box, _ = launch(t, win, log, command, tail)
        end_program(t, log, box)

    # The editor without a map: the "Y" at once.
    t0, box, seen = launch(t, win, log, "RB", "")
    key, typed = log.wait(lambda l: l.startswith("key "), "the editor's Y")
    assert key == "key Y 021", key
    # At once: as soon as the DOS program runs (keys typed into DOSBox before are lost).
    assert typed - seen["started"] < 1.0, "the Y came %.2f s after the editor started" % (
        typed - seen["started"])
    print_times("dosbox", "RB", Y=typed - t0)
    end_program(t, log, box)
    assert t.x.find_window(QUESTION) is None

    # With a map: the "Y" two seconds after the key, then the question; DOSBox holds the
    # keyboard in its full screen, so the editor ends before the question is answered.
    t0, box, _ = launch(t, win, log, "RIB", " e1l8.map")
    key, typed = log.wait(lambda l: l.startswith("key "), "the editor's Y")
    assert key == "key Y 021", key
    assert typed - t0 >= 2.0, "the Y came %.2f s after the key" % (typed - t0)
    question = t.x.wait_window(QUESTION)
    asked = time.monotonic()
    print_times("dosbox", "RIB", Y=typed - t0, question=asked - t0)
    end_program(t, log, box)
    def yes():
        t.x.activate(question)
        pressed = time.monotonic()
        t.x.key("y")
        return pressed
    _, box, _ = launch(t, win, log, "RID", " -map e1l8.map", press=yes)
    end_program(t, log, box)

    # The game folder's own dosbox.conf: DOSBox's setting decides (a window here).
    with open(os.path.join(t.folder, "dosbox.conf"), "w") as f:
        f.write("[sdl]\nfullscreen=false\n")
    _, box, _ = launch(t, win, log, "RD", "", full_screen=False)
    top = top_window(t)
    assert not (same_client(top[0], box) and top[3:] == SCREEN), "DOSBox took the full screen"
    end_program(t, log, box)

    win.key("ctrl+q")
    assert t.wait_exit() == 0
