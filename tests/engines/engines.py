#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The six launcher commands with a real engine (engines.py dosbox|wine): Debian's DOSBox running
a DOS program (tools/dosprobe), in its full screen unless a dosbox.conf in the game folder says
otherwise; Debian's Wine running the Windows stand-in (tools/winstandin), 32-bit as BUILD.EXE, in
a new prefix without a virtual desktop, whose setting up on the first launch takes Wine tens of
seconds; the window, of a process outside the launcher's tree, is still the one maximised, and
the startup notification follows it. Each program gets its exact command line and comes up in
front with the keyboard focus; the editor's "Y" arrives two seconds after the key with a map and
at once without one; the question's Yes starts the game. The launcher answers within a second."""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

from startup_listener import StartupListener
from xsession import (Database, Launch, SeenLog, ended, in_front, maximised, print_times, prop,
                      scenario, wait_until, window_of_class, wm_class)

QUESTION = "Helpful Shortcut :)"


def top_window(t):
    """The top-most child of the root window: (id, x, y, width, height)."""
    out = t.x.run_tool(["xwininfo", "-root", "-children"], check=False)
    m = re.search(r"children:\s*\n\s*(0x[0-9a-f]+).*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", out)
    if not m:
        return None
    wid, w, h, x, y = m.groups()
    return int(wid, 16), int(x), int(y), int(w), int(h)


def same_client(a, b):  # made by one X client: they share the client's id base
    return a >> 21 == b >> 21
SCREEN = (1280, 1024)


class Dosbox:
    started = "tail ["  # DOSLOG.TXT's first line
    listen = None

    def __init__(self, t):
        for name in ("DUKE3D.EXE", "BUILD.EXE", "SETUP.EXE"):
            shutil.copy(os.environ["DORVANE_DOSPROBE"], os.path.join(t.folder, name))
        # A user of its own: DOSBox writes its configuration into the home folder on its first run.
        os.mkdir(os.path.join(t.folder, "home"))
        t.x.env.update(HOME=os.path.join(t.folder, "home"), SDL_AUDIODRIVER="dummy")
        self.t, self.log = t, os.path.join(t.folder, "DOSLOG.TXT")
        open(self.log, "w").close()

    def lines(self):
        with open(self.log, "rb") as f:
            return f.read().decode("latin-1").split("\r\n")[:-1]

    def window(self, program):
        return window_of_class(self.t, "dosbox")

    def placed(self, wid):
        top = top_window(self.t)
        return bool(top) and same_client(top[0], wid) and top[1:] == (0, 0) + SCREEN

    def got(self, line, program, arguments):
        return line == "tail [%s]" % arguments

    def end(self, log, wid):
        self.t.x.key("Escape")
        wait_until(lambda: self.window("") != wid, 10, "DOSBox to end")


class Wine(Dosbox):
    started = "command "  # standin.log's text behind the tick and the pid

    def __init__(self, t):
        for name, bits in (("DUKE3D.EXE", 64), ("SETUP.EXE", 64), ("BUILD.EXE", 32)):
            shutil.copy(os.environ["DORVANE_WINSTANDIN%d" % bits], os.path.join(t.folder, name))
        # No Mono or Gecko: nothing here needs them, and their install dialogs would block the boot.
        t.x.env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                       WINEPREFIX=os.path.join(t.folder, "prefix"))
        self.t, self.log = t, os.path.join(t.folder, "standin.log")
        self.listen = StartupListener(t.x.display)

    def lines(self):
        with open(self.log, "rb") as f:
            return [l.split(" ", 2)[2] for l in f.read().decode("utf-8").split("\n")[:-1]]

    def window(self, program):
        return window_of_class(self.t, program)

    def placed(self, wid):
        return maximised(self.t, wid)

    def got(self, line, program, arguments):
        path = "Z:" + os.path.join(os.path.realpath(self.t.folder), program).replace("/", "\\")
        # Without arguments Wine ends the command line it makes with a blank.
        return re.fullmatch(r'command "?%s"?%s' % (re.escape(path), re.escape(arguments) or " ?"),
                            line)

    def end(self, log, wid):
        """Ends the stand-in through the Unix process that owns its window."""
        pid = int(re.search(r"= (\d+)", prop(self.t, wid, "_NET_WM_PID")).group(1))
        os.kill(pid, signal.SIGTERM)
        wait_until(lambda: ended(pid), 10, "the program to end")

    def check_notice(self, wid):
        """The launch was announced with the class Wine gives the program's window, Wine took
        the launch's id for that window, and the activation carried the key's time."""
        new = self.listen.wait_message("new", NAME="DUKE3D.EXE")
        self.listen.wait_message("remove", ID=new["ID"])
        assert new["WMCLASS"] == wm_class(self.t, wid), (new, wm_class(self.t, wid))
        # Wine reads the id's time and stamps it on the window (through its user time window).
        m = re.search(r"window id # (0x[0-9a-f]+)", prop(self.t, wid, "_NET_WM_USER_TIME_WINDOW"))
        stamped = prop(self.t, int(m.group(1), 16) if m else wid, "_NET_WM_USER_TIME")
        assert stamped.endswith("= %s\n" % new["TIMESTAMP"]), stamped
        assert (wid, 2, int(new["TIMESTAMP"])) in self.listen.activations, self.listen.activations


def launch(engine, win, log, command, program, arguments, press=None, timeout=30, placed=True):
    """Runs `command` (see Launch) and checks the program up to its window in front and placed
    (maximised, or in the full screen); returns (the time of the key, its window, times seen)."""
    log.start()
    run = Launch(engine.t, win, command, press)
    wid = lambda: engine.window(program)
    placed = engine.placed if placed else bool
    run.poll({"started": lambda: log.find(lambda l: l.startswith(engine.started)), "window": wid,
              "active": lambda: wid() and in_front(engine.t, wid()),
              "placed": lambda: wid() and placed(wid())},
             timeout, "%s placed in front, and the launcher" % program)
    line, _ = log.find(lambda l: l.startswith(engine.started))
    assert engine.got(line, program, arguments), "%s got %r" % (command, line)
    assert in_front(engine.t, wid()) and placed(wid()), "%s lost the front" % program
    times = run.since_key()
    print_times(sys.argv[1], command, **times)
    # The editor's two-second wait is the one deliberate hold.
    assert command == "RIB" or times["answered"] < 1.5, "the launcher answered late: %r" % times
    return run.t0, wid(), run.seen


def session(t, engine):
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    win = t.start()
    log = SeenLog(lambda: engine.lines() if os.path.exists(engine.log) else [])
    for command, program, arguments in (("RID", "DUKE3D.EXE", " -map e1l8.map"),
                                        ("RIS", "SETUP.EXE", " -map e1l8.map"),
                                        ("RD", "DUKE3D.EXE", ""), ("RS", "SETUP.EXE", "")):
        first = command == "RID" and engine.listen
        _, wid, _ = launch(engine, win, log, command, program, arguments,
                           timeout=120 if first else 30)
        if first:
            engine.check_notice(wid)
        engine.end(log, wid)

    # Without a map, the "Y" at once, as soon as the program can take it (keys typed into DOSBox
    # before the DOS program runs are lost).
    t0, wid, seen = launch(engine, win, log, "RB", "BUILD.EXE", "")
    _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
    since = seen["active" if engine.listen else "started"]
    assert typed - since < 1.0, "the Y came %.2f s after the editor was ready" % (typed - since)
    engine.end(log, wid)
    assert t.x.find_window(QUESTION) is None
    # With a map, two seconds after the key, then the question; DOSBox holds the keyboard in its
    # full screen, so the editor ends before the question is answered.
    t0, wid, _ = launch(engine, win, log, "RIB", "BUILD.EXE", " e1l8.map")
    _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
    assert typed - t0 >= 2.0, "the Y came %.2f s after the key" % (typed - t0)
    question = t.x.wait_window(QUESTION)
    engine.end(log, wid)

    def yes():
        t.x.activate(question)
        pressed = time.monotonic()
        t.x.key("y")
        return pressed
    _, game, _ = launch(engine, win, log, "RID", "DUKE3D.EXE", " -map e1l8.map", press=yes)
    assert not log.find(lambda l: l == "key Y"), "the game got a key"
    engine.end(log, game)

    if not engine.listen:  # the game folder's dosbox.conf: DOSBox's setting (a window) decides
        with open(os.path.join(t.folder, "dosbox.conf"), "w") as f:
            f.write("[sdl]\nfullscreen=false\n")
        _, wid, _ = launch(engine, win, log, "RD", "DUKE3D.EXE", "", placed=False)
        top = top_window(t)
        assert not (same_client(top[0], wid) and top[3:] == SCREEN), "DOSBox took the full screen"
        engine.end(log, wid)
    win.key("ctrl+q")
    assert t.wait_exit() == 0


@scenario
def engines(t):
    engine = {"dosbox": Dosbox, "wine": Wine}[sys.argv[1]](t)
    try:
        session(t, engine)
    finally:
        for step in ("-k", "-w") if engine.listen else ():
            subprocess.run(["wineserver", step], env=t.x.env, capture_output=True, timeout=30)
