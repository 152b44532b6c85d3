#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The real program, run as another user (nobody, through setpriv) in folders as users keep
them: a game folder nobody may not write holding root's Qimdat.dat that everyone may write is
saved in place, keeping its owner and leaving nothing beside it; a Qimdat.dat that is a link to
a file not there yet is created at the link's target on the first run, and the link stays."""
import os
import subprocess

from xsession import MAIN_PLACES, Database, scenario, slot_place, wait_until

NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]


def run_as_nobody(t, folder, first_run=False):
    log = open(os.path.join(t.folder, ".dorvane-output"), "ab")
    t.proc = t.x.spawn(NOBODY + [t.binary], cwd=folder, stdout=log, stderr=subprocess.STDOUT)
    log.close()
    if first_run:  # the message that the file was created comes before the window
        box = t.x.wait_window("Dorvane")
        t.x.activate(box)
        t.x.key("Return")
    return t.main_window()


@scenario
def real_folders(t):
    if os.geteuid() != 0:
        print("SKIPPED: needs root to set owners and to run the program as another user")
        return
    os.chmod(t.folder, 0o755)

    # Root's file in root's folder, 0666: nobody may write the file, not the folder.
    game = os.path.join(t.folder, "game")
    os.mkdir(game, 0o755)
    Database(slots={5: "five.map", 6: "six.map"}, selection=5).write(game)
    db = os.path.join(game, "Qimdat.dat")
    os.chmod(db, 0o666)
    win = run_as_nobody(t, game)
    win.click_control(slot_place(5))
    win.click_control(MAIN_PLACES["Clear"])
    wait_until(lambda: Database.read(game).slots[5] == "", 5, "slot 5 cleared in place")
    win.click_control(slot_place(9))
    win.key("ctrl+q")
    assert t.wait_exit() == 0, "the program did not end cleanly"
    saved = Database.read(game)
    assert saved.selection == 9 and saved.slots[6] == "six.map", saved.slots[:8]
    st = os.stat(db)
    assert (st.st_uid, st.st_gid, st.st_mode & 0o7777) == (0, 0, 0o666), st
    assert sorted(os.listdir(game)) == ["Qimdat.dat"], os.listdir(game)

    # A link to a catalogue kept elsewhere, not written yet; nobody owns both folders.
    linked = os.path.join(t.folder, "linked")
    store = os.path.join(t.folder, "store")
    for path in (linked, store):
        os.mkdir(path, 0o755)
        os.chown(path, 65534, 65534)
    os.symlink("../store/Qimdat.dat", os.path.join(linked, "Qimdat.dat"))
    win = run_as_nobody(t, linked, first_run=True)
    win.click_control(slot_place(3))
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    assert os.path.islink(os.path.join(linked, "Qimdat.dat")), "the link was replaced"
    assert Database.read(store).selection == 3
    assert sorted(os.listdir(linked)) == ["Qimdat.dat"] and os.listdir(store) == ["Qimdat.dat"]
    assert os.stat(os.path.join(store, "Qimdat.dat")).st_uid == 65534
