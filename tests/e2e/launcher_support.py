# SPDX-License-Identifier: MIT
"""Helpers for the launcher's scenarios: the stand-in program as the game's three programs, and
what it logged (one JSON object a line in standin.log of the game folder; see tools/standin).

Stand-in times ("t") are on the monotonic clock, which time.monotonic() reads as well.
"""

import json
import os
import shutil
import signal
import subprocess
import time

from xsession import MAIN_PLACES, wait_until

PROGRAMS = ("duke3d.exe", "build.exe", "setup.exe")

# Top-level menus in order, and the items of the two launcher menus in order.
MENUS = ["File", "Edit", "Run_wo", "magic", "cc", "Help"]
MENU_ITEMS = {"RIB": ("Edit", 0), "RIS": ("Edit", 1), "RID": ("Edit", 2),
              "RB": ("Run_wo", 0), "RS": ("Run_wo", 1), "RD": ("Run_wo", 2)}
SHORTCUTS = {"RIB": "ctrl+b", "RIS": "ctrl+s", "RID": "ctrl+d",
             "RB": "ctrl+c", "RS": "ctrl+t", "RD": "ctrl+e"}
BUTTONS = {"RIB": "Build", "RIS": "Setup", "RID": "Duke3d"}


def standin_path(program):
    """The stand-in beside the program under test in the build tree, or $DORVANE_STANDIN."""
    path = os.environ.get("DORVANE_STANDIN") or os.path.join(
        os.path.dirname(program), "..", "..", "tools", "standin", "dorvane_standin")
    path = os.path.abspath(path)
    assert os.access(path, os.X_OK), "no stand-in program at %s" % path
    return path


def install_standins(t, names=PROGRAMS, folder=None):
    """Copies the stand-in into the game folder (or `folder`) under each of `names`."""
    source = standin_path(t.binary)
    for name in names:
        shutil.copy(source, os.path.join(folder or t.folder, name))


def read_log(folder):
    try:
        with open(os.path.join(folder, "standin.log"), encoding="latin-1") as f:
            return [json.loads(line) for line in f if line.endswith("\n")]
    except FileNotFoundError:
        return []


def argv_bytes(event):
    """The arguments of a start event as the bytes the program received."""
    return [arg.encode("latin-1") for arg in event["argv"]]


class Standins:
    """What the stand-ins of one game folder did, followed from one point on."""

    def __init__(self, folder):
        self.folder = folder
        self.seen = len(read_log(folder))

    def new_events(self):
        return read_log(self.folder)[self.seen:]

    def wait_start(self, name, timeout=10):
        """The next stand-in started under `name` (in any letter case) since the last call;
        returns its start event."""
        def find():
            for i, e in enumerate(self.new_events()):
                if e["event"] == "start" and e["name"].lower() == name.lower():
                    return (i, e)
            return None
        i, event = wait_until(find, timeout, "%s to start" % name)
        self.seen += i + 1
        return event

    def events_of(self, pid, kind):
        return [e for e in read_log(self.folder) if e["pid"] == pid and e["event"] == kind]

    def wait_event(self, pid, kind, timeout=10, count=1):
        return wait_until(lambda: len(self.events_of(pid, kind)) >= count and
                          self.events_of(pid, kind), timeout,
                          "%s of stand-in %d" % (kind, pid))

    def starts_since(self, mark):
        return [e for e in read_log(self.folder)[mark:] if e["event"] == "start"]


def end(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


def run_command(t, win, command, way):
    """Runs a launcher command as a user does: "button", "menu" or "shortcut"."""
    win.activate()
    if way == "button":
        win.click_control(MAIN_PLACES[BUTTONS[command]])
    elif way == "shortcut":
        t.x.key(SHORTCUTS[command])
    elif way == "menu":
        menu, index = MENU_ITEMS[command]
        ox, oy = win.area_origin()
        # Keys typed before the first menu has opened would be lost: wait for its drop-down,
        # which covers the window just below the menu bar.
        below = (ox + 4, oy + 4, 40, 12)
        t.x.run_tool(["xdotool", "mousemove", "0", "0"])
        before = settled(lambda: grab_screen(t, *below))
        t.x.click(ox + 15, oy - win.menu_height // 2)  # "File  |", the first menu
        wait_until(lambda: grab_screen(t, *below) != before, 5, "the File menu to open")
        keys = ["Right"] * MENUS.index(menu) + ["Down"] * (index + 1) + ["Return"]
        t.x.key(*keys)
    else:
        raise ValueError(way)


def answer_box(t, title, key):
    """Waits for the message box titled `title` and answers it with `key`."""
    box = t.x.wait_window(title)
    t.x.activate(box)
    t.x.key(key)
    t.x.wait_no_window(title)


def ended(pid):
    """Whether process `pid` has ended: gone, or a zombie its parent has not reaped.
    The process may vanish between any two reads, so a read that fails counts as gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return True
    return stat[stat.rindex(")") + 2:].startswith("Z")


def children_of(pid):
    """Ids and states of the processes whose parent is `pid`."""
    out = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        fields = stat[stat.rindex(")") + 2:].split()
        if int(fields[1]) == pid:
            out.append((int(entry), fields[0]))
    return out


def monotonic():
    return time.monotonic()


def settled(read, timeout=5):
    """The value of read() once two readings in a row agree (a window raised just now may not
    have been repainted yet)."""
    last = [read()]

    def same():
        value = read()
        if value == last[0]:
            return True
        last[0] = value
        return False
    wait_until(same, timeout, "the screen to settle", interval=0.05)
    return last[0]


def grab_screen(t, x, y, width, height):
    """The pixels of one area of the screen as raw bytes: much quicker than a screenshot of
    the whole screen."""
    return subprocess.run(["import", "-silent", "-window", "root", "-crop",
                           "%dx%d+%d+%d" % (width, height, x, y), "-depth", "8", "rgb:-"],
                          env=t.x.env, capture_output=True, check=True, timeout=30).stdout


def grab(t, win, place):
    """The pixels of a control placed at (left, top, width, height) twips."""
    left, top, width, height = place
    x, y = win.screen_point(left, top)
    x2, y2 = win.screen_point(left + width, top + height)
    return grab_screen(t, x, y, x2 - x, y2 - y)
