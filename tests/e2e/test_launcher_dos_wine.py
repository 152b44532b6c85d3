#!/usr/bin/env python3
"""A DOS game runs inside dosbox and a Windows editor through wine when they are on the PATH
(here: stand-ins under those names); the folder is mounted as C: and dosbox ends with the game.
With no dosbox on the PATH, a DOS program gives "Error!"."""
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
    install_standins(t, names=("dosbox", "wine"), folder=bin_dir)
    write_program(os.path.join(t.folder, "DUKE3D.EXE"), windows=False)
    write_program(os.path.join(t.folder, "build.exe"), windows=True)
    write_program(os.path.join(t.folder, "setup.exe"), windows=False)
    Database(slots={2: "e1l8.map"}, selection=2).write(t.folder)
    # The PATH holds the helpers and the test's own tools, so that no real dosbox or wine runs.
    tools_dir = os.path.join(t.folder, "tools")
    os.mkdir(tools_dir)
    for tool in ("xdotool", "xprop", "xwininfo", "import", "convert"):
        os.symlink(shutil.which(tool), os.path.join(tools_dir, tool))
    t.x.env["PATH"] = bin_dir + ":" + tools_dir
    win = t.start()
    s = Standins(t.folder)

    run_command(t, win, "RID", "button")
    e = s.wait_start("dosbox")
    dosbox = os.path.join(os.path.realpath(bin_dir), "dosbox")
    assert e["argv"][1:] == ["-fullscreen", "-noautoexec", "-c", 'mount c "%s"' % folder, "-c", "c:",
                             "-c", "DUKE3D.EXE -map e1l8.map", "-c", "exit"], e["argv"]
    assert os.path.realpath(e["argv"][0]) == dosbox
    s.wait_event(e["pid"], "maximised")
    s.wait_event(e["pid"], "focus")
    end(e["pid"])

    run_command(t, win, "RB", "shortcut")
    e = s.wait_start("wine")
    assert e["argv"][1:] == [os.path.join(folder, "build.exe")], e["argv"]
    key = s.wait_event(e["pid"], "key")[-1]
    assert key["key"] == "Y"
    end(e["pid"])

    # No dosbox any more: the DOS setup program cannot run.
    os.remove(os.path.join(bin_dir, "dosbox"))
    run_command(t, win, "RS", "shortcut")
    answer_box(t, "Error!", "Return")
    win.key("ctrl+q")
    assert t.wait_exit() == 0
