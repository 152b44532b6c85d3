#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Adding maps from a game folder the user may enter and write but not read (mode 0333, the
program run as another user than the folder's owner): Add Map tells the user in a message box
titled "Add Map" that the map files could not be listed, and then opens the picker with an
empty list, which changes nothing when closed. Saving still works; once the folder can be read
again, the next Add Map lists its maps without a message and adds one."""
import os
import shutil
import subprocess
import tempfile

from editing import PICKER_TITLE, Picker, wait_file
from xsession import MAIN_PLACES, Database, scenario, wait_until

NOBODY = 65534


def shown(t, title):
    """Ids of the mapped windows titled exactly `title`."""
    out = t.x.run_tool(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                       check=False)
    return [int(w) for w in out.split()]


def start_as_nobody(t, binary):
    log = open(t.log_path, "wb")
    t.proc = t.x.spawn([binary], cwd=t.folder, user=NOBODY, group=NOBODY, extra_groups=[],
                       stdout=log, stderr=subprocess.STDOUT)
    log.close()
    return t.main_window()


def press_add_map(win):
    win.click_control(MAIN_PLACES["Addmap"])


@scenario
def add_map_unlisted(t):
    if os.geteuid() != 0:
        raise SystemExit("this scenario runs the program as another user, which needs root")
    for name in ("castle.map", "E1L8.MAP"):
        open(os.path.join(t.folder, name), "wb").close()
    Database(slots={3: "kept.map"}, selection=3).write(t.folder)
    os.chmod(os.path.join(t.folder, "Qimdat.dat"), 0o666)
    # The program's own copy, where the other user may run it whatever the build folder allows.
    bin_dir = tempfile.mkdtemp(prefix="dorvane-e2e-bin-")
    try:
        binary = os.path.join(bin_dir, "dorvane")
        shutil.copy(t.binary, binary)
        os.chmod(bin_dir, 0o755)
        os.chmod(binary, 0o755)
        os.chmod(t.folder, 0o333)
        win = start_as_nobody(t, binary)

        press_add_map(win)
        box = t.x.wait_window(PICKER_TITLE)
        # The message comes first, alone: the picker opens only once it is answered.
        assert shown(t, PICKER_TITLE) == [box], "more than the message box is up"
        _, _, width, height = t.x.geometry(box)
        picker_size = (round(3600 / 15), round(3690 / 15))
        assert (width, height) != picker_size, "the picker opened without a message"
        t.x.activate(box)
        t.x.key("Return")
        wait_until(lambda: shown(t, PICKER_TITLE) and box not in shown(t, PICKER_TITLE), 10,
                   "the picker after the message")
        picker = Picker(t.x, shown(t, PICKER_TITLE)[0])
        picker.wait_painted()
        # An empty list: the arrow key selects nothing.
        picker.key("Down")
        assert picker.highlighted_rows() == [], "the list shows a map it could not read"
        before = Database.read(t.folder).raw
        picker.close()
        t.x.wait_no_window(PICKER_TITLE)
        assert Database.read(t.folder).raw == before, "closing the picker changed the file"
        assert t.running(), "the program ended"

        # The folder readable again: the maps are listed, no message, and one is added.
        os.chmod(t.folder, 0o777)
        press_add_map(win)
        wid = t.x.wait_window(PICKER_TITLE)
        picker = Picker(t.x, wid)
        picker.wait_painted()
        assert shown(t, PICKER_TITLE) == [wid]
        _, _, width, height = t.x.geometry(wid)
        assert abs(width - picker_size[0]) <= 2 and abs(height - picker_size[1]) <= 2, \
            "a message box instead of the picker: %dx%d" % (width, height)
        picker.click_row(1, repeat=2)  # castle.map, after E1L8.MAP
        t.x.wait_no_window(PICKER_TITLE)
        db = wait_file(t, lambda d: d.slots[3] == "castle.map", "castle.map in slot 3")
        assert db.numbers[3] == 3 and db.selection == 3

        win.key("ctrl+q")
        assert t.wait_exit() == 0
    finally:
        os.chmod(t.folder, 0o700)
        shutil.rmtree(bin_dir, ignore_errors=True)
