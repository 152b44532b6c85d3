#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The six launcher commands with Debian's real Wine and real Windows programs: the Windows
stand-in (tools/winstandin) built for 64 bits as DUKE3D.EXE and SETUP.EXE (Wine's 64-bit
loader) and for 32 bits as BUILD.EXE (wine32's loader), in a prefix without a virtual desktop.
Each gets its exact command line; its window, which belongs to a process that is no descendant
of the one the launcher started, is maximised, active and holds the keyboard focus; the
editor's "Y" arrives two seconds after the key with a map and at once without one; the question
follows and its Yes starts the game with the map. The launcher answers again within about a
second of each launch. The first launch is a new player's: in a new Wine prefix, whose setting
up takes Wine tens of seconds and shows a window of Wine's own first; the program's window,
when it comes, is still the one brought to the front and maximised, and the desktop's startup
notification follows it with the class Wine gives it and the time Wine stamps on it."""
import os
import re
import shutil
import signal
import subprocess
import time

from startup_listener import StartupListener
from xsession import (Database, Launch, SeenLog, ended, in_front, maximised, print_times, prop,
                      scenario, wait_until, window_of_class, wm_class)

QUESTION = "Helpful Shortcut :)"
PROGRAMS = {"DUKE3D.EXE": "DORVANE_WINSTANDIN64", "SETUP.EXE": "DORVANE_WINSTANDIN64",
            "BUILD.EXE": "DORVANE_WINSTANDIN32"}


def log_lines(folder):
    """The Windows stand-in's log: "TICK PID TEXT" lines, their texts."""
    try:
        with open(os.path.join(folder, "standin.log"), "rb") as f:
            text = f.read().decode("utf-8", "replace")
    except FileNotFoundError:
        return []
    return [line.split(" ", 2)[2] for line in text.split("\n")[:-1]]


def windows_path(folder, name):
    return "Z:" + os.path.join(folder, name).replace("/", "\\")


def launch(t, win, log, command, program, arguments, press=None, timeout=30):
    """Runs `command` (see Launch) and checks the program up to its window maximised in front;
    returns (the time of the key, its X window, the times seen)."""
    log.start()
    run = Launch(t, win, command, press)
    wid = lambda: window_of_class(t, program)
    run.poll({"started": lambda: log.find(lambda l: l.startswith("command ")), "window": wid,
              "active": lambda: wid() and in_front(t, wid()),
              "maximised": lambda: wid() and maximised(t, wid())},
             timeout, "%s maximised in front, and the launcher" % program)
    line, _ = log.find(lambda l: l.startswith("command "))
    expected = windows_path(os.path.realpath(t.folder), program)
    # Without arguments Wine ends the command line it makes with a blank.
    assert re.fullmatch(r'"?%s"?%s' % (re.escape(expected), re.escape(arguments) or " ?"),
                        line[len("command "):]), "%s got %r" % (command, line)
    window = wid()
    assert in_front(t, window) and maximised(t, window), "%s lost the front" % program
    times = run.since_key()
    print_times("wine", command, **times)
    answered = times["answered"]
    if command != "RIB":  # the editor's two-second wait is the one deliberate hold
        assert answered < 1.5, "the launcher answered %.2f s after the key" % answered
    return run.t0, window, run.seen


def end_program(t, wid):
    """Ends the stand-in through the Unix process that owns its window."""
    m = re.search(r"= (\d+)", prop(t, wid, "_NET_WM_PID"))
    assert m, "the window has no _NET_WM_PID"
    pid = int(m.group(1))
    os.kill(pid, signal.SIGTERM)
    wait_until(lambda: ended(pid), 10, "the program to end")


def check_notice(t, listen, wid):
    """The launch was announced to the desktop with the class Wine gives the program's window,
    Wine took the launch's id for that window, and the activation carried the key's time."""
    new = listen.wait_message("new", NAME="DUKE3D.EXE")
    listen.wait_message("remove", ID=new["ID"])
    print("startup notification:", *listen.messages, sep="\n  ")
    assert new["WMCLASS"] == wm_class(t, wid), (new, wm_class(t, wid))
    # Wine reads the id's time and stamps it on the window (through its user time window).
    m = re.search(r"window id # (0x[0-9a-f]+)", prop(t, wid, "_NET_WM_USER_TIME_WINDOW"))
    stamped = prop(t, int(m.group(1), 16) if m else wid, "_NET_WM_USER_TIME")
    assert stamped.endswith("= %s\n" % new["TIMESTAMP"]), stamped
    assert (wid, 2, int(new["TIMESTAMP"])) in listen.activations, listen.activations


def stop_wine(t):
    subprocess.run(["wineserver", "-k"], env=t.x.env, capture_output=True, timeout=30)
    subprocess.run(["wineserver", "-w"], env=t.x.env, capture_output=True, timeout=30)


@scenario
def wine(t):
    for name, variable in PROGRAMS.items():
        shutil.copy(os.environ[variable], os.path.join(t.folder, name))
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    # No Mono or Gecko: nothing here needs them, and their install dialogs would block the boot.
    t.x.env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                   WINEPREFIX=os.path.join(t.folder, "prefix"))
    try:
        listen = StartupListener(t.x.display)
        win = t.start()
        log = SeenLog(lambda: log_lines(t.folder))
        for command, program, arguments in (("RID", "DUKE3D.EXE", " -map e1l8.map"),
                                            ("RIS", "SETUP.EXE", " -map e1l8.map"),
                                            ("RD", "DUKE3D.EXE", ""), ("RS", "SETUP.EXE", "")):
            first = command == "RID"
            _, wid, _ = launch(t, win, log, command, program, arguments,
                               timeout=120 if first else 30)
            if first:
                check_notice(t, listen, wid)
            end_program(t, wid)

        # The editor (32 bits) without a map: the "Y" at once.
        t0, wid, seen = launch(t, win, log, "RB", "BUILD.EXE", "")
        _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
        assert typed - seen["active"] < 1.0, "the Y came %.2f s after the activation" % (
            typed - seen["active"])
        print_times("wine", "RB", Y=typed - t0)
        end_program(t, wid)
        assert t.x.find_window(QUESTION) is None

        # With a map: the "Y" two seconds after the key, then the question; Yes runs the game.
        t0, wid, _ = launch(t, win, log, "RIB", "BUILD.EXE", " e1l8.map")
        _, typed = log.wait(lambda l: l == "key Y", "the editor's Y")
        assert typed - t0 >= 2.0, "the Y came %.2f s after the key" % (typed - t0)
        question = t.x.wait_window(QUESTION)
        print_times("wine", "RIB", Y=typed - t0, question=time.monotonic() - t0)
        def yes():
            t.x.activate(question)
            pressed = time.monotonic()
            t.x.key("y")
            return pressed
        _, game, _ = launch(t, win, log, "RID", "DUKE3D.EXE", " -map e1l8.map",
                            press=yes)
        assert not log.find(lambda l: l == "key Y"), "the game got a key"
        end_program(t, game)
        end_program(t, wid)

        win.key("ctrl+q")
        assert t.wait_exit() == 0
    finally:
        stop_wine(t)
