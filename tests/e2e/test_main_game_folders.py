# SPDX-License-Identifier: MIT
"""Game folders as users keep them, the program run as another user (nobody): a folder nobody
may not write, holding root's Qimdat.dat that everyone may write, is saved in place, keeping its
owner and leaving nothing beside it; a Qimdat.dat that links to a file not there yet is created
at the link's target, and the link stays; a folder nobody may enter and write but not read: Add
Map says that the map files could not be listed, then opens an empty picker, and once the folder
can be read the next Add Map lists the maps and adds one."""
import os
import shutil
import tempfile

from xsession import (MAIN_PLACES, PICKER_TITLE, Database, Picker, scenario, slot_place,
                      wait_file, wait_until)

NOBODY = dict(user=65534, group=65534, extra_groups=[])


@scenario
def game_folders(t):
    if os.geteuid() != 0:
        raise SystemExit("this scenario runs the program as another user, which needs root")
    bin_dir = tempfile.mkdtemp(prefix="dorvane-e2e-bin-")  # where nobody may run the program
    binary = os.path.join(bin_dir, "dorvane")
    shutil.copy(t.binary, binary)
    os.chmod(bin_dir, 0o755)
    os.chmod(t.folder, 0o755)
    start = lambda folder: t.start(args=[binary], cwd=folder, **NOBODY)
    try:
        game = os.path.join(t.folder, "game")
        os.mkdir(game, 0o755)
        Database(slots={5: "five.map", 6: "six.map"}, selection=5).write(game)
        os.chmod(os.path.join(game, "Qimdat.dat"), 0o666)
        win = start(game)
        win.click_control(slot_place(5))
        win.click_control(MAIN_PLACES["Clear"])
        wait_until(lambda: Database.read(game).slots[5] == "", 5, "slot 5 cleared in place")
        win.click_control(slot_place(9))
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
        t.start(wait_main=False, args=[binary], cwd=linked, **NOBODY)
        t.x.answer("Dorvane", "Return")  # the file was created
        win = t.main_window()
        win.click_control(slot_place(3))
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
        win.click_control(MAIN_PLACES["Addmap"])
        box = t.x.wait_window(PICKER_TITLE)
        assert t.x.windows(PICKER_TITLE) == [box], "more than the message box is up"
        picker_size = (240, 246)
        assert t.x.geometry(box)[2:] != picker_size, "the picker opened without a message"
        t.x.activate(box)
        t.x.key("Return")
        wid = wait_until(lambda: [w for w in t.x.windows(PICKER_TITLE) if w != box], 10,
                         "the picker after the message")[0]
        picker = Picker(t.x, wid)
        picker.wait_painted()
        picker.key("Down")
        assert picker.highlighted_rows() == [], "the list shows a map it could not read"
        picker.close()
        t.x.wait_no_window(PICKER_TITLE)
        os.chmod(unlisted, 0o777)
        win.click_control(MAIN_PLACES["Addmap"])
        picker = Picker(t.x, t.x.wait_window(PICKER_TITLE))
        picker.wait_painted()
        w, h = t.x.geometry(picker.wid)[2:]
        assert abs(w - picker_size[0]) <= 2 and abs(h - picker_size[1]) <= 2, (w, h)
        picker.click_row(1, repeat=2)  # castle.map, after E1L8.MAP
        db = wait_file(unlisted, lambda d: d.slots[3] == "castle.map", "castle.map in slot 3")
        assert db.numbers[3] == 3 and db.selection == 3
        t.quit(win)
    finally:
        shutil.rmtree(bin_dir, ignore_errors=True)
