#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The editor: with a map it gets the key "Y" no sooner than two seconds after its window came up
and before the question "Would you like to run ... in Duke3d?" appears; No starts nothing, Yes
starts the game with the same map, maximised and in front. Without a map (Ctrl+C, menu) it gets
the "Y" at once and no question follows."""
from launcher_support import Standins, end, install_standins, monotonic, run_command
from xsession import Database, scenario

QUESTION = "Helpful Shortcut :)"


def editor_with_map(t, win, s, way):
    run_command(t, win, "RIB", way)
    e = s.wait_start("build.exe")
    assert e["argv"] == ["Build.exe", "e1l8.map"], e["argv"]
    mapped = s.wait_event(e["pid"], "mapped")[0]["t"]
    box = t.x.wait_window(QUESTION)
    asked = monotonic()
    keys = s.events_of(e["pid"], "key")
    assert keys and keys[-1]["key"] == "Y", "the editor got %r" % keys
    waited = keys[-1]["t"] - mapped
    assert waited >= 2.0, "the key came %.3f s after the editor's window" % waited
    assert keys[-1]["t"] <= asked, "the question came before the key"
    assert s.events_of(e["pid"], "maximised"), "the editor was not maximised"
    return e, box


@scenario
def editor(t):
    install_standins(t)
    Database(slots={3: "e1l8.map"}, selection=3).write(t.folder)
    win = t.start()
    s = Standins(t.folder)

    # No: nothing more starts; the game started next is the one Ctrl+E asks for, without a map.
    for way in ("button", "shortcut", "menu"):
        e, box = editor_with_map(t, win, s, way)
        t.x.activate(box)
        t.x.key("n")
        t.x.wait_no_window(QUESTION)
        end(e["pid"])
        run_command(t, win, "RD", "shortcut")
        game = s.wait_start("duke3d.exe")
        assert game["argv"] == ["duke3d.exe"], "No started %r" % game["argv"]
        end(game["pid"])

    # Yes: the game with the same map, maximised and focused, and it gets no key.
    e, box = editor_with_map(t, win, s, "button")
    t.x.activate(box)
    t.x.key("y")
    game = s.wait_start("duke3d.exe")
    assert game["argv"] == ["duke3d.exe", "-map", "e1l8.map"], game["argv"]
    s.wait_event(game["pid"], "maximised")
    s.wait_event(game["pid"], "focus")
    assert not s.events_of(game["pid"], "key")
    end(game["pid"])
    end(e["pid"])

    # Without a map: the key at once after the focus, and no question.
    for way in ("shortcut", "menu"):
        run_command(t, win, "RB", way)
        e = s.wait_start("build.exe")
        assert e["argv"] == ["build.exe"], e["argv"]
        focus = s.wait_event(e["pid"], "focus")[0]["t"]
        key = s.wait_event(e["pid"], "key")[-1]
        assert key["key"] == "Y"
        assert key["t"] - focus < 1.0, "the key came %.3f s after the focus" % (key["t"] - focus)
        end(e["pid"])
        # A question would hold the window: the next command would not start.
        run_command(t, win, "RS", "shortcut")
        setup = s.wait_start("setup.exe")
        assert setup["argv"] == ["setup.exe"]
        assert t.x.find_window(QUESTION) is None
        end(setup["pid"])

    win.key("ctrl+q")
    assert t.wait_exit() == 0
