#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The desktop follows each launch: "new:" with the launch's id (ending in _TIME and the time of
the key that asked for it), the program's name, pid, screen and that time; the child finds the
id in DESKTOP_STARTUP_ID; "remove:" once the window shows, and the activation carries the same
time. A program that fails before showing a window is removed too. The id the launcher itself
was started with is removed once it shows, and never handed on."""
import os

from startup_listener import StartupListener
from xsession import Database, Standins, install_standins, run_command, scenario


def environment(pid):
    with open("/proc/%d/environ" % pid, "rb") as f:
        return dict(v.split(b"=", 1) for v in f.read().split(b"\0") if b"=" in v)


@scenario
def startup_notice(t):
    install_standins(t, names=("duke3d.exe",))
    Database().write(t.folder)
    with open(t.folder + "/setup.exe", "w") as f:
        f.write("#!/bin/sh\nexit 3\n")
    os.chmod(t.folder + "/setup.exe", 0o755)
    listen = StartupListener(t.x.display)
    t.x.env["DESKTOP_STARTUP_ID"] = "menu-42_TIME1000"
    win = t.start()
    listen.wait_message("remove", ID="menu-42_TIME1000")
    s = Standins(t.folder)

    before = listen.server_time()
    run_command(t, win, "RD", "shortcut")
    after = listen.server_time()
    pid = s.wait_start("duke3d.exe")["pid"]
    new = listen.wait_message("new", PID=str(pid))
    time = int(new["TIMESTAMP"])
    assert before <= time <= after, "TIMESTAMP %d not of the key (%d..%d)" % (time, before, after)
    assert new["ID"].endswith("_TIME%d" % time) and new["ID"] != "menu-42_TIME1000", new
    assert new["NAME"] == "duke3d.exe" and new["SCREEN"] == "0" and new["HOSTNAME"], new
    assert environment(pid).get(b"DESKTOP_STARTUP_ID") == new["ID"].encode()
    s.wait_event(pid, "focus")
    listen.wait_message("remove", ID=new["ID"])
    assert any(when == time for _, _, when in listen.activations), listen.activations

    # Started, then failed without a window: removed as well.
    run_command(t, win, "RS", "shortcut")
    t.x.answer("Error!", "Return")
    failed = listen.wait_message("new", NAME="setup.exe")
    listen.wait_message("remove", ID=failed["ID"])
    win.key("ctrl+q")
    assert t.wait_exit() == 0
