# SPDX-License-Identifier: MIT
"""Startup notification, programs that cannot run or fail late, descriptors, zombies."""
import time

from startup_listener import StartupListener
from xsession import (Database, Standins, children_of, end, install_standins, run_command,
                      scenario, wait_until)


@scenario
def failures(t):
    install_standins(t, names=("duke3d.exe",))
    Database(slots={0: "e1l8.map"}, selection=0).write(t.folder)
    listen = StartupListener(t.x.display)
    t.x.env["DESKTOP_STARTUP_ID"] = "menu-42_TIME1000"
    win, s = t.start(), Standins(t.folder)
    listen.wait_message("remove", ID="menu-42_TIME1000")
    for command, way in (("RIS", "button"), ("RS", "menu"), ("RIB", "shortcut"),
                         ("RB", "shortcut")):
        run_command(win, command, way)
        t.x.answer("Error!", "Return")
    assert t.x.find_window("Helpful Shortcut :)") is None
    before = listen.server_time()
    run_command(win, "RD", "shortcut")
    after = listen.server_time()
    e = s.wait_start("duke3d.exe")
    assert e["fds"] == [0, 1, 2], "inherited descriptors %r" % e["fds"]
    new = listen.wait_message("new", PID=str(e["pid"]))
    stamp = int(new["TIMESTAMP"])
    assert before <= stamp <= after, "%d not of the key (%d..%d)" % (stamp, before, after)
    assert new["ID"].endswith("_TIME%d" % stamp) and new["ID"] != "menu-42_TIME1000", new
    assert new["NAME"] == "duke3d.exe" and new["SCREEN"] == "0" and new["HOSTNAME"], new
    with open("/proc/%d/environ" % e["pid"], "rb") as f:
        assert b"DESKTOP_STARTUP_ID=%s\0" % new["ID"].encode() in f.read()
    s.wait_event(e["pid"], "focus")
    listen.wait_message("remove", ID=new["ID"])
    assert any(when == stamp for _, _, when in listen.activations), listen.activations
    end(e["pid"])
    wait_until(lambda: e["pid"] not in children_of(t.proc.pid), 10, "the ended reaped")
    t.quit(win)

    # Failing before a window after two seconds: told from the event loop, the notice withdrawn.
    win = t.start(env=dict(t.x.env, DORVANE_STANDIN_EXIT="3", DORVANE_STANDIN_DELAY="2"))
    run_command(win, "RID", "shortcut")
    pressed = time.monotonic()
    e = s.wait_start("duke3d.exe")
    t.x.answer("Error!", "Return")
    assert time.monotonic() - pressed >= 1.5, "told before the program ended"
    listen.wait_message("remove", ID=listen.wait_message("new", PID=str(e["pid"]))["ID"])
    t.quit(win)
