#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's folder from the command line and from the menu entry's folder chooser.

--help and --version print and end; a wrong option or a missing folder is refused with exit
status 2 before any window (there is no display to open one). `dorvane FOLDER` runs in FOLDER
as if started there, first run included. `dorvane --choose-folder` (the menu entry) asks for
the folder, opens at the one chosen last, and runs there; cancelling ends it and writes
nothing."""
import os
import subprocess

from xsession import MAIN_TITLE, Database, scenario, wait_until

CHOOSER = "Dorvane: choose the game's folder"


def run_plain(t, *args):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    return subprocess.run([t.binary, *args], cwd=t.folder, env=env, capture_output=True,
                          text=True, timeout=10)


def start(t, env, *args):
    log = open(t.log_path, "ab")
    t.proc = subprocess.Popen([t.binary, *args], cwd=t.folder, env=env, stdout=log,
                              stderr=subprocess.STDOUT)
    t.x.procs.append(t.proc)
    log.close()


def answer_first_run(t):
    box = t.x.wait_window("Dorvane")
    t.x.activate(box)
    t.x.key("Return")
    t.x.wait_no_window("Dorvane")


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder)
                  for d, _, names in os.walk(folder) for f in names)


@scenario
def game_folder(t):
    for args, said in ((["--help"], "Usage: dorvane [GAME_FOLDER]"), (["--version"], "Dorvane ")):
        r = run_plain(t, *args)
        assert r.returncode == 0 and r.stderr == "" and r.stdout.startswith(said), (args, r)
    for args, said in ((["--frobnicate"], "unknown option --frobnicate"),
                       (["no-such-folder"], "cannot use the folder no-such-folder"),
                       (["a", "b"], "more than one folder")):
        r = run_plain(t, *args)
        assert r.returncode == 2 and said in r.stderr and r.stdout == "", (args, r)

    # Started elsewhere with the folder named: the first run happens in that folder.
    game = os.path.join(t.folder, "game")
    other = os.path.join(t.folder, "other")
    home = os.path.join(t.folder, "home")
    for d in (game, other, home):
        os.mkdir(d)
    env = dict(t.x.env, HOME=home, XDG_STATE_HOME=os.path.join(t.folder, "state"))
    state = os.path.join(t.folder, "state", "dorvane", "last-folder")
    start(t, env, "game")
    answer_first_run(t)
    t.main_window().key("ctrl+q")
    assert t.wait_exit() == 0
    assert os.listdir(game) == ["Qimdat.dat"] and Database.read(game).selection == 0

    # The menu entry: the first chooser opens at home; the folder typed in is remembered.
    start(t, env, "--choose-folder")
    chooser = t.x.wait_window(CHOOSER)
    t.x.activate(chooser)
    # Pasted whole (typed, the chooser's completion would race the keys). Return opens the
    # folder, a second one chooses it.
    subprocess.run(["xclip", "-selection", "clipboard"], env=t.x.env, input=other.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
    t.x.key("ctrl+a", "ctrl+v", "Return", "Return")
    answer_first_run(t)
    t.main_window().key("ctrl+q")
    assert t.wait_exit() == 0
    assert os.listdir(other) == ["Qimdat.dat"]
    assert open(state).read() == other + "\n"

    # The next one opens there: OK alone runs in it again, without a first run.
    start(t, env, "--choose-folder")
    t.x.activate(t.x.wait_window(CHOOSER))
    t.x.key("Return")
    t.main_window().key("ctrl+q")
    assert t.wait_exit() == 0

    # Cancelled: the program ends, and nothing is written anywhere.
    before = files_under(t.folder)
    start(t, env, "--choose-folder")
    t.x.activate(t.x.wait_window(CHOOSER))
    t.x.key("Escape")
    assert t.wait_exit() == 0
    assert files_under(t.folder) == before and open(state).read() == other + "\n"
