# SPDX-License-Identifier: MIT
"""Launches as the desktop follows them, and when a program cannot run. The id the launcher was
started with is removed once it shows, and never handed on; each launch sends "new:" with its id
(ending in _TIME and the time of the key that asked for it), the program's name, pid, screen and
that time; the child finds the id in DESKTOP_STARTUP_ID; "remove:" once the window shows, and
the activation carries the same time. A missing program gives "Error!" and, for the editor,
neither the key nor the question; so do a DOS game and a Windows editor with no dosbox or wine
on the PATH, and once a dosbox is there the DOS game runs in it, full screen. A program that
fails before showing a window is reported (and removed) too, also when it fails after the
launcher gave its window back; one that runs without a window is no failure and holds the
launcher about a second. Ten launches leave no zombie, and no started program inherits a
descriptor of the launcher."""
import os
import shutil
import time

from startup_listener import StartupListener
from xsession import (Database, Standins, children_of, end, install_standins, run_command,
                      scenario, wait_until)


def write_program(path, windows):
    header = bytearray(128)
    header[0:2] = b"MZ"
    if windows:
        header[0x3C], header[0x40:0x44] = 0x40, b"PE\0\0"
    with open(path, "wb") as f:
        f.write(header)


@scenario
def failures(t):
    install_standins(t, names=("duke3d.exe",))
    Database(slots={0: "e1l8.map"}, selection=0).write(t.folder)
    listen = StartupListener(t.x.display)
    t.x.env["DESKTOP_STARTUP_ID"] = "menu-42_TIME1000"
    win = t.start()
    listen.wait_message("remove", ID="menu-42_TIME1000")
    s = Standins(t.folder)
    for command, way in (("RIS", "button"), ("RS", "menu"), ("RIB", "shortcut"),
                         ("RB", "shortcut")):
        run_command(win, command, way)
        t.x.answer("Error!", "Return")
    assert t.x.find_window("Helpful Shortcut :)") is None
    pids = []
    for _ in range(10):
        before = listen.server_time()
        run_command(win, "RD", "shortcut")
        after = listen.server_time()
        e = s.wait_start("duke3d.exe")
        assert e["fds"] == [0, 1, 2], "inherited descriptors %r" % e["fds"]
        s.wait_event(e["pid"], "focus")
        pids.append(e["pid"])
        if len(pids) == 1:
            new = listen.wait_message("new", PID=str(e["pid"]))
            stamp = int(new["TIMESTAMP"])
            assert before <= stamp <= after, "%d not of the key (%d..%d)" % (stamp, before, after)
            assert new["ID"].endswith("_TIME%d" % stamp) and new["ID"] != "menu-42_TIME1000"
            assert new["NAME"] == "duke3d.exe" and new["SCREEN"] == "0" and new["HOSTNAME"], new
            with open("/proc/%d/environ" % e["pid"], "rb") as f:
                assert b"DESKTOP_STARTUP_ID=%s\0" % new["ID"].encode() in f.read()
            listen.wait_message("remove", ID=new["ID"])
            assert any(when == stamp for _, _, when in listen.activations), listen.activations
        end(e["pid"])
    wait_until(lambda: not set(children_of(t.proc.pid)) & set(pids), 10, "the ended reaped")
    assert len(s.starts_since(0)) == 10, "more programs started than asked for"
    t.quit(win)

    # Failing before a window, at once and after two seconds; running without one.
    for env, command in (({"DORVANE_STANDIN_EXIT": "3"}, "RID"),
                         ({"DORVANE_STANDIN_EXIT": "3", "DORVANE_STANDIN_DELAY": "2"}, "RD"),
                         ({"DORVANE_STANDIN_NO_WINDOW": "1"}, "RD")):
        for name in ("DORVANE_STANDIN_EXIT", "DORVANE_STANDIN_DELAY", "DORVANE_STANDIN_NO_WINDOW"):
            t.x.env.pop(name, None)
        t.x.env.update(env)
        win = t.start()
        run_command(win, command, "shortcut")
        pressed = time.monotonic()
        e = s.wait_start("duke3d.exe")
        if "DORVANE_STANDIN_EXIT" in env:
            t.x.answer("Error!", "Return")
            told = time.monotonic() - pressed
            assert told >= 1.5 if "DORVANE_STANDIN_DELAY" in env else told < 1.5, told
            listen.wait_message("remove", ID=listen.wait_message("new", PID=str(e["pid"]))["ID"])
        else:
            t.x.key("ctrl+a")
            t.x.wait_window("About Dorvane")
            assert time.monotonic() - pressed < 2.0, "the launcher held on to the key"
            assert t.x.find_window("Error!") is None
            end(e["pid"])
        t.quit(win)
    t.x.env.pop("DORVANE_STANDIN_NO_WINDOW")

    # DOS and Windows programs: the PATH holds only the test's own tools, then a dosbox.
    os.unlink(os.path.join(t.folder, "duke3d.exe"))
    write_program(os.path.join(t.folder, "DUKE3D.EXE"), windows=False)
    write_program(os.path.join(t.folder, "build.exe"), windows=True)
    helpers = os.path.join(t.folder, "helpers")
    os.mkdir(helpers)
    for tool in ("xdotool", "xprop", "xwininfo", "import"):
        os.symlink(shutil.which(tool), os.path.join(helpers, tool))
    t.x.env["PATH"] = helpers
    win = t.start()
    mark = s.seen
    for command, way in (("RID", "button"), ("RB", "shortcut"), ("RIB", "menu")):
        run_command(win, command, way)
        t.x.answer("Error!", "Return")
    assert not s.starts_since(mark), "something started without its helper"
    install_standins(t, names=("dosbox",), folder=helpers)
    run_command(win, "RID", "shortcut")
    e = s.wait_start("dosbox")
    assert e["argv"][1:] == ["-fullscreen", "-noautoexec", "-c",
                             'mount c "%s"' % os.path.realpath(t.folder), "-c", "c:", "-c",
                             "DUKE3D.EXE -map e1l8.map", "-c", "exit"], e["argv"]
    end(e["pid"])
    t.quit(win)
