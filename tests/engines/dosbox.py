#!/usr/bin/env python3
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

from engines import (Timings, in_front, same_client, top_window, waiting_for_events,
                     window_of_class)
from launcher_support import SHORTCUTS, children_of
from xsession import Database, scenario, wait_until

QUESTION = "Helpful Shortcut :)"
SCREEN = (1280, 1024)


def log_lines(folder):
    try:
        with open(os.path.join(folder, "DOSLOG.TXT"), "rb") as f:
            return f.read().decode("latin-1").split("\r\n")[:-1]
    except FileNotFoundError:
        return []


class DosLog:
    """The DOS stand-in's log, with the time each line was first seen."""

    def __init__(self, folder):
        self.folder, self.seen = folder, []

    def wait(self, predicate, what, timeout=15):
        def find():
            lines = log_lines(self.folder)
            now = time.monotonic()
            while len(self.seen) < len(lines):
                self.seen.append((lines[len(self.seen)], now))
            for i, (line, at) in enumerate(self.seen):
                if i >= self.mark and predicate(line):
                    return line, at
            return None
        found = wait_until(find, timeout, what, interval=0.01)
        self.mark = self.seen.index(found) + 1
        return found

    def find(self, predicate):
        """Whether a line from the mark on fits, without moving the mark."""
        return any(predicate(line) for line in log_lines(self.folder)[self.mark:])

    def start(self):
        self.mark = len(log_lines(self.folder))
        while len(self.seen) < self.mark:
            self.seen.append((log_lines(self.folder)[len(self.seen)], 0))


def launch(t, win, log, timings, command, tail, full_screen=True, press=None):
    """Runs `command` by its shortcut (or `press`, which returns the time of its key) and checks
    the DOS program up to its window in front; returns (t0, DOSBox's window)."""
    before = set()
    log.start()
    before_key = {pid for pid, _ in children_of(t.proc.pid)}
    if press is None:
        win.activate()
        t0 = time.monotonic()
        t.x.key(SHORTCUTS[command])
    else:
        t0 = press()
    # Each first seen while polling them all: the launcher back in its event loop (once it
    # has started DOSBox), the DOS program, DOSBox's window, its full screen, it in front.
    seen = {}
    launcher = t.proc.pid
    older = set(before_key)

    def all_seen():
        now = time.monotonic()
        if ("answered" not in seen and {p for p, _ in children_of(launcher)} - older and
                waiting_for_events(launcher)):
            seen["answered"] = now
        if "started" not in seen and log.find(lambda l: l.startswith("tail [")):
            seen["started"] = now
        box = window_of_class(t, "dosbox", before)
        if box and "window" not in seen:
            seen["window"] = now
        if box and "active" not in seen and in_front(t, box):
            seen["active"] = now
        if box and "full" not in seen and (not full_screen or covers(box)):
            seen["full"] = now
        return len(seen) == 5

    def covers(box):
        top = top_window(t)
        return top and same_client(top[0], box) and top[1:] == (0, 0) + SCREEN
    wait_until(all_seen, 15, "the DOS program, DOSBox in front (full screen) and the launcher",
               interval=0.005)
    line, _ = log.wait(lambda l: l.startswith("tail ["), "the DOS program to start")
    assert line == "tail [%s]" % tail, "%s got %r" % (command, line)
    box = window_of_class(t, "dosbox", before)
    assert in_front(t, box), "DOSBox lost the front"
    answered, started = seen["answered"], seen["started"]
    times = dict(window=seen["window"] - t0, active=seen["active"] - t0)
    if full_screen:
        times["full_screen"] = seen["full"] - t0
    timings.add(command, program=started - t0, launcher_answers=answered - t0, **times)
    if command != "RIB":  # the editor's two-second wait is the one deliberate hold
        assert answered - t0 < 1.5, "the launcher answered %.2f s after the key" % (answered - t0)
    return t0, box, seen


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
    log = DosLog(t.folder)
    timings = Timings("dosbox")

    for command, tail in (("RID", " -map e1l8.map"), ("RIS", " -map e1l8.map"), ("RD", ""),
                          ("RS", "")):
        _, box, _ = launch(t, win, log, timings, command, tail)
        end_program(t, log, box)

    # The editor without a map: the "Y" at once.
    t0, box, seen = launch(t, win, log, timings, "RB", "")
    key, typed = log.wait(lambda l: l.startswith("key "), "the editor's Y")
    assert key == "key Y 021", key
    # At once: as soon as the DOS program runs (keys typed into DOSBox before are lost).
    assert typed - seen["started"] < 1.0, "the Y came %.2f s after the editor started" % (
        typed - seen["started"])
    timings.add("RB", Y=typed - t0)
    end_program(t, log, box)
    assert t.x.find_window(QUESTION) is None

    # With a map: the "Y" two seconds after the key, then the question; DOSBox holds the
    # keyboard in its full screen, so the editor ends before the question is answered.
    t0, box, _ = launch(t, win, log, timings, "RIB", " e1l8.map")
    key, typed = log.wait(lambda l: l.startswith("key "), "the editor's Y")
    assert key == "key Y 021", key
    assert typed - t0 >= 2.0, "the Y came %.2f s after the key" % (typed - t0)
    question = t.x.wait_window(QUESTION)
    asked = time.monotonic()
    timings.add("RIB", Y=typed - t0, question=asked - t0)
    end_program(t, log, box)
    def yes():
        t.x.activate(question)
        pressed = time.monotonic()
        t.x.key("y")
        return pressed
    _, box, _ = launch(t, win, log, timings, "RID", " -map e1l8.map", press=yes)
    end_program(t, log, box)

    # The game folder's own dosbox.conf: DOSBox's setting decides (a window here).
    with open(os.path.join(t.folder, "dosbox.conf"), "w") as f:
        f.write("[sdl]\nfullscreen=false\n")
    _, box, _ = launch(t, win, log, timings, "RD", "", full_screen=False)
    top = top_window(t)
    assert not (same_client(top[0], box) and top[3:] == SCREEN), "DOSBox took the full screen"
    end_program(t, log, box)

    win.key("ctrl+q")
    assert t.wait_exit() == 0
