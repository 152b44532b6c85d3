# SPDX-License-Identifier: MIT
"""Launches from button, shortcut and menu as the startup notification follows them; the editor's
"Y" and question; Random, the mascot; programs missing or failing late; descriptors, zombies."""
import os
import shutil
import time

from startup_listener import StartupListener
from xsession import (PLACES, Database, Standins, children_of, end, run_command, scenario,
                      slot_place, wait_until)

QUESTION = "Helpful Shortcut :)"
GAME, SETUP = ["duke3d.exe", "-map", "e1l8.map"], ["setup.exe", "-map", "e1l8.map"]


@scenario
def run_programs(t):
    for name in ("duke3d.exe", "build.exe", "setup.exe"):
        shutil.copy(os.path.dirname(t.binary) + "/../../tools/standin/dorvane_standin",
                    os.path.join(t.folder, name))
    slots = {5: "e1l8.map", 20: "e2l1.map"}
    Database(slots=slots, selection=5).write(t.folder)
    listen = StartupListener(t.x.display)
    t.x.env["DESKTOP_STARTUP_ID"] = "menu-42_TIME1000"
    win, s = t.start(), Standins(t.folder)
    listen.wait_message("remove", ID="menu-42_TIME1000")

    def started(argv, stop=True):
        e = s.wait_start(argv[0])
        assert (e["argv"], e["cwd"]) == (argv, os.path.realpath(t.folder)), e
        s.wait_event(e["pid"], "maximised")
        s.wait_event(e["pid"], "focus")
        return end(e["pid"]) if stop else e

    for slot, command, way, argv in (
            (5, "RID", "button", GAME), (5, "RIS", "button", SETUP), (5, "RID", "shortcut", GAME),
            (5, "RIS", "shortcut", SETUP), (5, "RID", "menu", GAME), (5, "RIS", "menu", SETUP),
            (0, "RD", "menu", ["duke3d.exe"])):
        win.click(slot_place(slot))
        run_command(win, command, way)
        started(argv)
    mark = s.seen
    win.click(slot_place(5))
    for answer, way in (("n", "button"), ("y", "menu")):
        run_command(win, "RIB", way)
        e = started(["Build.exe", "e1l8.map"], stop=False)
        t.x.wait_window(QUESTION)
        keys = s.wait_event(e["pid"], "key", 5)  # logged once the editor has read it
        since = keys[0]["t"] - s.events_of(e["pid"], "mapped")[0]["t"]
        assert [k["key"] for k in keys] == ["Y"] and since >= 2.0, (keys, since)
        t.x.answer(QUESTION, answer)
        end(e["pid"])
    game = started(GAME, stop=False)
    starts = [e for e in s.log()[mark:] if e["event"] == "start"]
    assert not s.events_of(game["pid"], "key") and len(starts) == 3
    end(game["pid"])
    run_command(win, "RB", "shortcut")
    e = started(["build.exe"], stop=False)
    key = s.wait_event(e["pid"], "key", 5)[0]
    assert key["key"] == "Y" and key["t"] - s.events_of(e["pid"], "focus")[0]["t"] < 1.0
    end(e["pid"])

    shown = win.grab(PLACES["Wobbin"])
    win.click(PLACES["Random"])
    wait_until(lambda: win.grab(PLACES["Wobbin"]) != shown, 5, "the mascot's new pose")
    win.click(PLACES["Wobbin"])
    t.x.answer("This is synonymous with cheeze", "Return")

    for name in ("setup.exe", "build.exe"):
        os.remove(os.path.join(t.folder, name))
    for command, way in (("RIS", "button"), ("RS", "menu"), ("RIB", "shortcut")):
        run_command(win, command, way)
        t.x.answer("Error!", "Return")
    assert not t.x.windows(QUESTION)
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
    assert Database.read(t.folder).selection in slots

    # Failing before a window after two seconds: told from the event loop, the notice withdrawn.
    win = t.start(env=dict(t.x.env, DORVANE_STANDIN_EXIT="3", DORVANE_STANDIN_DELAY="2"))
    run_command(win, "RID", "shortcut")
    pressed = time.monotonic()
    e = s.wait_start("duke3d.exe")
    t.x.answer("Error!", "Return")
    assert time.monotonic() - pressed >= 1.5, "told before the program ended"
    listen.wait_message("remove", ID=listen.wait_message("new", PID=str(e["pid"]))["ID"])
    t.quit(win)
