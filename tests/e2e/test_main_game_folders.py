# SPDX-License-Identifier: MIT
"""The game's folder: --help and --version print and end; a wrong option or folder is refused
with status 2 before any window; `dorvane FOLDER` runs in FOLDER, first run included; `dorvane
--choose-folder` asks for the folder, opens at the one chosen last and runs there, and once
cancelled ends and writes nothing. Run as another user (nobody): a folder nobody may not write,
holding root's Qimdat.dat that everyone may write, is saved in place, keeping its owner; in a
folder nobody may not read, Add Map says the map files could not be listed and opens an empty
picker, and once the folder can be read the next Add Map lists the maps and adds one."""
import os
import shutil
import subprocess

from xsession import PICKER_TITLE, PLACES, Database, open_picker, scenario, slot_place, wait_file

CHOOSER = "Dorvane: choose the game's folder"


def files_under(folder):
    return sorted(os.path.join(d, f) for d, _, names in os.walk(folder) for f in names)


@scenario
def game_folders(t):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
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
    # Pasted whole (typed, the chooser's completion would race the keys).
    subprocess.run(["xclip", "-selection", "clipboard"], env=env, input=other.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
    # The first chooser opens at home: Return opens the pasted folder, a second one chooses
    # it; the next opens there.
    for args, keys, first_run in ((["named"], [], named),
                                  (["--choose-folder"], ["ctrl+a", "ctrl+v", "Return", "Return"],
                                   other), (["--choose-folder"], ["Return"], None),
                                  (["--choose-folder"], ["Escape"], None)):
        before = files_under(t.folder)
        t.start(False, [t.binary, *args], env=env)
        if keys:
            t.x.activate(t.x.wait_window(CHOOSER))
            t.x.key(*keys)
        if first_run:
            t.x.answer("Dorvane", "Return")
            assert os.listdir(first_run) == ["Qimdat.dat"]
        if keys == ["Escape"]:
            assert t.wait_exit() == 0 and files_under(t.folder) == before, "written after cancel"
        else:
            t.quit(t.main_window())
    assert Database.read(named).selection == 0 and open(state).read() == other + "\n"

    os.chmod(t.folder, 0o755)
    binary = os.path.join(home, "dorvane")  # where nobody may run it
    shutil.copy(t.binary, binary)
    os.chmod(home, 0o755)
    start = lambda folder: t.start(args=[binary], cwd=folder, user=65534, group=65534,
                                   extra_groups=[])
    game = os.path.join(t.folder, "game")
    os.mkdir(game, 0o755)
    Database(slots={5: "five.map", 6: "six.map"}, selection=5).write(game)
    os.chmod(os.path.join(game, "Qimdat.dat"), 0o666)
    win = start(game)
    win.click(slot_place(5))
    win.click(PLACES["Clear"])
    wait_file(game, lambda d: d.slots[5] == "", "slot 5 cleared in place")
    win.click(slot_place(9))
    t.quit(win)
    db, st = Database.read(game), os.stat(os.path.join(game, "Qimdat.dat"))
    assert db.selection == 9 and db.slots[6] == "six.map" and os.listdir(game) == ["Qimdat.dat"]
    assert (st.st_uid, st.st_gid, st.st_mode & 0o7777) == (0, 0, 0o666), st

    unlisted = os.path.join(t.folder, "unlisted")
    os.mkdir(unlisted)
    for name in ("castle.map", "E1L8.MAP"):
        open(os.path.join(unlisted, name), "wb").close()
    Database(slots={3: "kept.map"}, selection=3).write(unlisted)
    os.chmod(os.path.join(unlisted, "Qimdat.dat"), 0o666)
    os.chmod(unlisted, 0o333)
    win = start(unlisted)
    win.click(PLACES["Addmap"])
    box = t.x.wait_window(PICKER_TITLE)  # the message, titled as the picker
    assert t.x.windows(PICKER_TITLE) == [box] and t.x.geometry(box)[2:] != (240, 246)
    t.x.activate(box)
    t.x.key("Return")
    picker = open_picker(t, move=False, wid=t.x.wait_window(PICKER_TITLE, other_than=box))
    picker.key("Down")
    assert picker.highlighted_rows() == [], "the list shows a map it could not read"
    picker.close()
    t.x.wait_no_window(PICKER_TITLE)
    os.chmod(unlisted, 0o777)
    picker = open_picker(t, win, move=False)
    assert abs(t.x.geometry(picker.wid)[2] - 240) <= 2, "not the picker"
    picker.click_row(1, repeat=2)  # castle.map, after E1L8.MAP
    db = wait_file(unlisted, lambda d: d.slots[3] == "castle.map", "castle.map in slot 3")
    assert db.numbers[3] == 3 and db.selection == 3
    t.quit(win)
