# SPDX-License-Identifier: MIT
"""The command line, the folder chooser (remembered, cancelled), a folder nobody may list."""
import os
import shutil
import subprocess

from xsession import PICKER_TITLE, PLACES, Database, open_picker, scenario

CHOOSER = "Dorvane: choose the game's folder"


@scenario
def game_folders(t):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    for args, status, said in ((["--help"], 0, "Usage: dorvane [GAME_FOLDER]"),
                               (["--version"], 0, "Dorvane "),
                               (["--frobnicate"], 2, "unknown option --frobnicate"),
                               (["no-such-folder"], 2, "cannot use the folder no-such-folder"),
                               (["a", "b"], 2, "more than one folder")):
        r = subprocess.run([t.binary, *args], cwd=t.folder, env=env, capture_output=True,
                           text=True, timeout=10)
        out, rest = (r.stdout, r.stderr) if status == 0 else (r.stderr, r.stdout)
        assert (r.returncode, rest) == (status, "") and said in out, (args, r)

    named, other, home = (os.path.join(t.folder, d) for d in ("named", "other", "home"))
    for d in (named, other, home):
        os.mkdir(d)
    env = dict(t.x.env, HOME=home, XDG_STATE_HOME=os.path.join(t.folder, "state"))
    state = os.path.join(t.folder, "state", "dorvane", "last-folder")
    files = lambda: sorted(os.path.join(d, f) for d, _, names in os.walk(t.folder) for f in names)
    subprocess.run(["xclip", "-selection", "clipboard"], env=env, input=other.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
    # The first chooser opens at home: Return opens the folder pasted (typed, its completion would
    # race the keys), a second Return chooses it; the next chooser opens there.
    for args, keys, first_run in ((["named"], [], named),
                                  (["--choose-folder"], ["ctrl+a", "ctrl+v", "Return", "Return"],
                                   other), (["--choose-folder"], ["Return"], None),
                                  (["--choose-folder"], ["Escape"], None)):
        before = files()
        t.start(False, [t.binary, *args], env=env)
        if keys:
            t.x.activate(t.x.wait_window(CHOOSER))
            t.x.key(*keys)
        if first_run:
            t.x.answer("Dorvane", "Return")
            assert os.listdir(first_run) == ["Qimdat.dat"]
        if keys == ["Escape"]:
            assert t.wait_exit() == 0 and files() == before, "written after cancel"
        else:
            t.quit(t.main_window())
    assert Database.read(named).selection == 0 and open(state).read() == other + "\n"

    os.chmod(t.folder, 0o755)
    binary = os.path.join(home, "dorvane")  # a copy that nobody may run
    shutil.copy(t.binary, binary)
    os.chmod(home, 0o755)
    unlisted = os.path.join(t.folder, "unlisted")
    os.mkdir(unlisted)
    open(os.path.join(unlisted, "castle.map"), "wb").close()
    Database(slots={3: "kept.map"}, selection=3).write(unlisted)
    os.chmod(os.path.join(unlisted, "Qimdat.dat"), 0o666)
    os.chmod(unlisted, 0o333)  # nobody may enter and write it, but not list it
    win = t.start(args=[binary], cwd=unlisted, user=65534, group=65534, extra_groups=[])
    win.click(PLACES["Addmap"])
    box = t.x.wait_window(PICKER_TITLE)  # the message, titled as the picker
    assert t.x.windows(PICKER_TITLE) == [box] and t.x.geometry(box)[2:] != (240, 246)
    t.x.activate(box)
    t.x.key("Return")
    picker = open_picker(t, move=False, wid=t.x.wait_window(PICKER_TITLE, other_than=box))
    picker.key("Down")
    assert picker.highlighted_rows() == [], "the list shows a map it could not read"
    t.quit(win)
