#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's folder, and game folders as users keep them. --help and --version print and end;
a wrong option or a missing folder is refused with exit status 2 before any window (there is no
display to open one). `dorvane FOLDER` runs in FOLDER as if started there, first run included.
`dorvane --choose-folder` (the menu entry) asks for the folder, opens at the one chosen last, and
runs there; cancelling ends it and writes nothing.

Then run as another user (nobody): a folder nobody may not write, holding root's Qimdat.dat that
everyone may write, is saved in place, keeping its owner and leaving nothing beside it; a
Qimdat.dat that links to a file not there yet is created at the link's target, and the link
stays; a folder nobody may enter and write but not read: Add Map says that the map files could
not be listed, then opens an empty picker, and once the folder can be read the next Add Map
lists the maps and adds one."""
import os
import shutil
import subprocess
import tempfile

from xsession import (PICKER_TITLE, PLACES, Database, open_picker, scenario, slot_place, wait_file,
                      wait_until)

CHOOSER = "Dorvane: choose the game's folder"
NOBODY = dict(user=65534, group=65534, extra_groups=[])


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder)
                  for d, _, names in os.walk(folder) for f in names)


def command_line(t):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    for args, status, said in ((["--help"], 0, "Usage: dorvane [GAME_FOLDER]"),
                               (["--version"], 0, "Dorvane "),
                               (["--frobnicate"], 2, "unknown option --frobnicate"),
                               (["no-such-folder"], 2, "cannot use the folder no-such-folder"),
                               (["a", "b"], 2, "more than one folder")):
        r = subprocess.run([t.binary, *args], cwd=t.folder, env=env, capture_output=True,
                           text=True, timeout=10)
        out, err = (r.stdout, r.stderr) if status == 0 else (r.stderr, r.stdout)
        assert r.returncode == status and err == "" and said in out and \
            (status or out.startswith(said)), (args, r)

    # Started elsewhere with the folder named: the first run happens in that folder. The menu
    # entry: the first chooser opens at home; the folder typed in is remembered.
    named, other, home = (os.path.join(t.folder, d) for d in ("named", "other", "home"))
    for d in (named, other, home):
        os.mkdir(d)
    env = dict(t.x.env, HOME=home, XDG_STATE_HOME=os.path.join(t.folder, "state"))
    state = os.path.join(t.folder, "state", "dorvane", "last-folder")
    subprocess.run(["xclip", "-selection", "clipboard"], env=t.x.env, input=other.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10, check=True)
    for args, keys, folder in ((["named"], None, named),
                               # Pasted whole (typed, the chooser's completion would race the
                               # keys). Return opens the folder, a second one chooses it.
                               (["--choose-folder"], ["ctrl+a", "ctrl+v", "Return", "Return"],
                                other),
                               (["--choose-folder"], ["Return"], None)):  # opens there: no first run
        t.start(False, [t.binary, *args], env=env)
        if keys:
            t.x.activate(t.x.wait_window(CHOOSER))
            t.x.key(*keys)
        if folder:
            t.x.answer("Dorvane", "Return")
        t.quit(t.main_window())
        assert not folder or os.listdir(folder) == ["Qimdat.dat"], folder
    assert Database.read(named).selection == 0 and open(state).read() == other + "\n"

    # Cancelled: the program ends, and nothing is written anywhere.
    before = files_under(t.folder)
    t.start(False, [t.binary, "--choose-folder"], env=env)
    t.x.activate(t.x.wait_window(CHOOSER))
    t.x.key("Escape")
    assert t.wait_exit() == 0
    assert files_under(t.folder) == before and open(state).read() == other + "\n"


@scenario
def game_folders(t):
    command_line(t)
    assert os.geteuid() == 0, "this scenario runs the program as another user, which needs root"
    bin_dir = tempfile.mkdtemp(prefix="dorvane-e2e-bin-")  # where nobody may run the program
    binary = os.path.join(bin_dir, "dorvane")
    shutil.copy(t.binary, binary)
    os.chmod(bin_dir, 0o755)
    os.chmod(t.folder, 0o755)
    start = lambda folder, wait=True: t.start(wait, [binary], cwd=folder, **NOBODY)
    try:
        game = os.path.join(t.folder, "game")
        os.mkdir(game, 0o755)
        Database(slots={5: "five.map", 6: "six.map"}, selection=5).write(game)
        os.chmod(os.path.join(game, "Qimdat.dat"), 0o666)
        win = start(game)
        win.click(slot_place(5))
        win.click(PLACES["Clear"])
        wait_until(lambda: Database.read(game).slots[5] == "", 5, "slot 5 cleared in place")
        win.click(slot_place(9))
        t.quit(win)
        db = Database.read(game)
        assert db.selection == 9 and db.slots[6] == "six.map", db.slots[:8]
        st = os.stat(os.path.join(game, "Qimdat.dat"))
        assert (st.st_uid, st.st_gid, st.st_mode & 0o7777) == (0, 0, 0o666), st
        assert os.listdir(game) == ["Qimdat.dat"], os.listdir(game)

        linked, store = os.path.join(t.folder, "linked"), os.path.join(t.folder, "store")
        for path in (linked, store):
            os.mkdir(path, 0o755)
            os.chown(path, 65534, 65534)
        os.symlink("../store/Qimdat.dat", os.path.join(linked, "Qimdat.dat"))
        start(linked, False)
        t.x.answer("Dorvane", "Return")  # the file was created
        win = t.main_window()
        win.click(slot_place(3))
        t.quit(win)
        assert os.path.islink(os.path.join(linked, "Qimdat.dat")), "the link was replaced"
        assert Database.read(store).selection == 3 and os.listdir(store) == ["Qimdat.dat"]
        assert os.stat(os.path.join(store, "Qimdat.dat")).st_uid == 65534

        unlisted = os.path.join(t.folder, "unlisted")
        os.mkdir(unlisted)
        for name in ("castle.map", "E1L8.MAP"):
            open(os.path.join(unlisted, name), "wb").close()
        Database(slots={3: "kept.map"}, selection=3).write(unlisted)
        os.chmod(os.path.join(unlisted, "Qimdat.dat"), 0o666)
        os.chmod(unlisted, 0o333)
        win = start(unlisted)
        win.click(PLACES["Addmap"])
        box = t.x.wait_window(PICKER_TITLE)
        assert t.x.windows(PICKER_TITLE) == [box], "more than the message box is up"
        picker_size = (240, 246)
        assert t.x.geometry(box)[2:] != picker_size, "the picker opened without a message"
        t.x.activate(box)
        t.x.key("Return")
        picker = open_picker(t, move=False, wid=t.x.wait_window(PICKER_TITLE, other_than=box))
        picker.key("Down")
        assert picker.highlighted_rows() == [], "the list shows a map it could not read"
        picker.close()
        t.x.wait_no_window(PICKER_TITLE)
        os.chmod(unlisted, 0o777)
        picker = open_picker(t, win, move=False)
        w, h = t.x.geometry(picker.wid)[2:]
        assert abs(w - picker_size[0]) <= 2 and abs(h - picker_size[1]) <= 2, (w, h)
        picker.click_row(1, repeat=2)  # castle.map, after E1L8.MAP
        db = wait_file(unlisted, lambda d: d.slots[3] == "castle.map", "castle.map in slot 3")
        assert db.numbers[3] == 3 and db.selection == 3
        t.quit(win)
    finally:
        shutil.rmtree(bin_dir, ignore_errors=True)
