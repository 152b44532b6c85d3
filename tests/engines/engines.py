#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The launcher with a real engine (engines.py dosbox|wine): DOSBox running tools/dosprobe in
its full screen unless the game folder's dosbox.conf says otherwise; Wine running the Windows
stand-in (32-bit as BUILD.EXE) maximised, in a new prefix that takes tens of seconds to set up."""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

from startup_listener import StartupListener
from xsession import (COMMANDS, Database, SeenLog, children_of, in_front, maximised, proc_stat,
                      prop, scenario, wait_until, window_of_class, wm_class)

def full_screen(t, wid):  # the root's top child, of DOSBox's X client (its id base), covers all
    out = t.x.run_tool(["xwininfo", "-root", "-children"], check=False)
    m = re.search(r"children:\s*\n\s*(0x[0-9a-f]+).*?(\d+x\d+\+-?\d+\+-?\d+)", out)
    return bool(m) and int(m[1], 16) >> 21 == wid >> 21 and m[2] == "1280x1024+0+0"


class Dosbox:  # started: the log's first line; klass: its windows' class, or the program's
    started, klass, listen, placed = "tail [", "dosbox", None, staticmethod(full_screen)

    def __init__(self, t):
        for name in ("DUKE3D.EXE", "BUILD.EXE"):
            shutil.copy(os.environ["DORVANE_DOSPROBE"], os.path.join(t.folder, name))
        # A home of its own: DOSBox writes its configuration there on its first run.
        os.mkdir(os.path.join(t.folder, "home"))
        t.x.env.update(HOME=os.path.join(t.folder, "home"), SDL_AUDIODRIVER="dummy")
        self.t, self.log = t, os.path.join(t.folder, "DOSLOG.TXT")
        open(self.log, "w").close()

    def lines(self):
        with open(self.log, "rb") as f:
            return f.read().decode("latin-1").split("\r\n")[:-1]

    def got(self, line, program, arguments):
        return line == "tail [%s]" % arguments

    def end(self, wid):
        self.t.x.key("Escape")
        wait_until(lambda: window_of_class(self.t, "dosbox") != wid, 10, "DOSBox to end")


class Wine(Dosbox):  # standin.log's lines: a tick, a pid and the text
    started, klass, placed = "command ", None, staticmethod(maximised)

    def __init__(self, t):
        for name, bits in (("DUKE3D.EXE", 64), ("BUILD.EXE", 32)):
            shutil.copy(os.environ["DORVANE_WINSTANDIN%d" % bits], os.path.join(t.folder, name))
        # No Mono or Gecko: nothing here needs them, and their install dialogs would block the boot.
        t.x.env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                       WINEPREFIX=os.path.join(t.folder, "prefix"))
        self.t, self.log = t, os.path.join(t.folder, "standin.log")
        self.listen = StartupListener(t.x.display)

    def lines(self):
        with open(self.log, "rb") as f:
            return [l.split(" ", 2)[2] for l in f.read().decode("utf-8").split("\n")[:-1]]

    def got(self, line, program, arguments):
        path = "Z:" + os.path.join(os.path.realpath(self.t.folder), program).replace("/", "\\")
        # Without arguments Wine ends the command line it makes with a blank.
        return re.fullmatch(r'command "?%s"?%s' % (re.escape(path), re.escape(arguments) or " ?"),
                            line)

    def end(self, wid):  # through the Unix process that owns the window: gone, or a zombie
        pid = int(re.search(r"= (\d+)", prop(self.t, wid, "_NET_WM_PID")).group(1))
        os.kill(pid, signal.SIGTERM)
        wait_until(lambda: proc_stat(pid)[:1] in ([], ["Z"]), 10, "the program to end")


def launch(engine, win, log, command, program, arguments, question=0, timeout=30, placed=True):
    """Presses the command's shortcut (or "y" in the `question`); waits for the window in front
    and placed and for the launcher back in select or pselect6 (x86-64) with a new child; returns
    the key's time, the window and when each first held."""
    log.start()
    launcher, t = engine.t.proc.pid, engine.t
    older = set(children_of(launcher))
    t.x.activate(question or win.wid)
    t0 = time.monotonic()
    t.x.key("y" if question else COMMANDS[command][0])

    def answered():
        with open("/proc/%d/syscall" % launcher) as f:
            return set(children_of(launcher)) - older and f.read().split()[0] in ("23", "270")
    wid = lambda: window_of_class(t, engine.klass or program)
    placed = (lambda w: engine.placed(t, w)) if placed else bool
    conditions = {"started": lambda: log.find(lambda l: l.startswith(engine.started)),
                  "active": lambda: wid() and in_front(t, wid()),
                  "placed": lambda: wid() and placed(wid()), "answered": answered}
    seen = {}

    def all_seen():
        for name in set(conditions) - set(seen):
            if conditions[name]():
                seen[name] = time.monotonic() - t0
        return len(seen) == len(conditions)
    wait_until(all_seen, timeout, "%s placed in front, and the launcher" % program, 0.005)
    line, _ = log.find(lambda l: l.startswith(engine.started))
    assert engine.got(line, program, arguments), "%s got %r" % (command, line)
    assert in_front(t, wid()) and placed(wid()), "%s lost the front" % program
    # The editor's two-second wait is the one deliberate hold.
    assert command == "RIB" or seen["answered"] < 1.5, "the launcher answered late: %r" % seen
    return t0, wid(), seen


def session(t, engine):
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    win = t.start()
    log = SeenLog(lambda: engine.lines() if os.path.exists(engine.log) else [])
    _, wid, _ = launch(engine, win, log, "RID", "DUKE3D.EXE", " -map e1l8.map", timeout=120)
    if engine.listen:  # announced with the class Wine gives the window, activated at the key's time
        new = engine.listen.wait_message("new", NAME="DUKE3D.EXE")
        engine.listen.wait_message("remove", ID=new["ID"])
        assert new["WMCLASS"] == wm_class(t, wid), (new, wm_class(t, wid))
        assert (wid, 2, int(new["TIMESTAMP"])) in engine.listen.activations, new
    engine.end(wid)

    # Without a map, the "Y" once the program can take it (DOSBox loses keys before it runs).
    t0, wid, seen = launch(engine, win, log, "RB", "BUILD.EXE", "")
    _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
    since = t0 + seen["active" if engine.listen else "started"]
    assert typed - since < 1.0, "the Y came %.2f s after the editor was ready" % (typed - since)
    engine.end(wid)
    assert not t.x.windows("Helpful Shortcut :)")
    # With a map, two seconds after the key, then the question (answered once the editor ends:
    # DOSBox's full screen holds the keyboard).
    t0, wid, _ = launch(engine, win, log, "RIB", "BUILD.EXE", " e1l8.map")
    _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
    assert typed - t0 >= 2.0, "the Y came %.2f s after the key" % (typed - t0)
    question = t.x.wait_window("Helpful Shortcut :)")
    engine.end(wid)
    _, game, _ = launch(engine, win, log, "RID", "DUKE3D.EXE", " -map e1l8.map", question)
    assert not log.find(lambda l: l == "key Y"), "the game got a key"
    engine.end(game)

    if not engine.listen:  # the game folder's dosbox.conf: DOSBox's setting (a window) decides
        with open(os.path.join(t.folder, "dosbox.conf"), "w") as f:
            f.write("[sdl]\nfullscreen=false\n")
        _, wid, _ = launch(engine, win, log, "RD", "DUKE3D.EXE", "", placed=False)
        assert not full_screen(t, wid), "DOSBox took the full screen"
        engine.end(wid)
    t.quit(win)


@scenario
def engines(t):
    engine = {"dosbox": Dosbox, "wine": Wine}[sys.argv[1]](t)
    try:
        session(t, engine)
    finally:
        for step in ("-k", "-w") if engine.listen else ():
            subprocess.run(["wineserver", step], env=t.x.env, capture_output=True, timeout=30)
