#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What the real DOSBox and Wine cannot show (tests/engines runs them): with neither on the
PATH, a DOS game and a Windows editor cannot run, and each command says "Error!" without
starting anything; once a dosbox is there, the DOS game runs inside it, in its full screen."""
import os
import shutil

from launcher_support import Standins, answer_box, end, install_standins, run_command
from xsession import Database, scenario


def write_program(path, windows):
    header = bytearray(128)
    header[0:2] = b"MZ"
    if windows:
        header[0x3C] = 0x40
        header[0x40:0x44] = b"PE\0\0"
    with open(path, "wb") as f:
        f.write(header)


@scenario
def dos_and_wine(t):
    folder = os.path.realpath(t.folder)
    bin_dir = os.path.join(t.folder, "helpers")
    os.mkdir(bin_dir)
    write_program(os.path.join(t.folder, "DUKE3D.EXE"), windows=False)
    write_program(os.path.join(t.folder, "build.exe"), windows=True)
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    # The PATH holds the helpers and the test's own tools, so that no real dosbox or wine runs.
    tools_dir = os.path.join(t.folder, "tools")
    os.mkdir(tools_dir)
    for tool in ("xdotool", "xprop", "xwininfo", "import", "convert"):
        os.symlink(shutil.which(tool), os.path.join(tools_dir, tool))
    t.x.env["PATH"] = bin_dir + ":" + tools_dir
    win = t.start()
    s = Standins(t.folder)

    for command, way in (("RID", "button"), ("RB", "shortcut"), ("RIB", "menu")):
        run_command(t, win, command, way)
        answer_box(t, "Error!", "Return")
    assert not s.starts_since(0), "something started without its helper"
    assert t.x.find_window("Helpful Shortcut :)") is None

    install_standins(t, names=("dosbox",), folder=bin_dir)
    run_command(t, win, "RID", "shortcut")
    e = s.wait_start("dosbox")
    assert e["argv"][1:] == ["-fullscreen", "-noautoexec", "-c", 'mount c "%s"' % folder, "-c",
                             "c:", "-c", "DUKE3D.EXE -map e1l8.map", "-c", "exit"], e["argv"]
    end(e["pid"])
    win.key("ctrl+q")
    assert t.wait_exit() == 0
