# SPDX-License-Identifier: MIT
"""The one helper module of the end-to-end scenarios and the real-engine runs: the real program
in an X server of its own (Xvfb, 24-bit, 96 dpi, openbox), driven through XTest as a user's
keyboard and mouse (xdotool), read back through the screen (ImageMagick's `import`), the
catalogue file and what the stand-in programs logged (tools/standin).

A scenario is a function decorated with @scenario, given a Test `t`: t.folder (a fresh folder),
t.x (the XSession), t.start() -> Window. It runs when its file is run as a program with the
program's path in $DORVANE (or as the first argument); on failure it prints the program's
output and the window list and saves a screenshot. Places are twips of a window's area below
its menu bar, 15 to the pixel at 96 dpi; wait_until() polls a condition with a bound.
"""

import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

MAIN_TITLE = "Dorvane (Duke3d Map Loader)"
AREA_SIZE = (634, 436)  # the main window's area below its menu bar at 96 dpi
MENU_GREY = (192, 192, 192)
PICKER_TITLE = "Add Map"
# Where the user clicks: (left, top, width, height) in twips.
MAIN_PLACES = {"Addmap": (6360, 120, 1095, 3495), "Build": (7560, 120, 1935, 615),
               "Setup": (7560, 840, 1935, 615), "Duke3d": (7560, 1560, 1935, 615),
               "Moveme": (7560, 2280, 1935, 615), "Clear": (7560, 3000, 1935, 615),
               "Random": (6360, 3720, 1695, 1815), "Wobbin": (8280, 4080, 975, 1125),
               "Quit": (6360, 5640, 3135, 615), "Towhere": (6360, 120, 3135, 6135),
               "tttt2": (480, 6240, 1335, 255)}
MAP_FILES, DONE = (120, 120, 3375, 2820), (120, 3000, 3375, 615)  # the picker's list and Ok
MENUS = ["File", "Edit", "Run_wo", "magic", "cc", "Help"]
MENU_ITEMS = {"RIB": ("Edit", 0), "RIS": ("Edit", 1), "RID": ("Edit", 2),
              "RB": ("Run_wo", 0), "RS": ("Run_wo", 1), "RD": ("Run_wo", 2)}
SHORTCUTS = {"RIB": "ctrl+b", "RIS": "ctrl+s", "RID": "ctrl+d",
             "RB": "ctrl+c", "RS": "ctrl+t", "RD": "ctrl+e"}
BUTTONS = {"RIB": "Build", "RIS": "Setup", "RID": "Duke3d"}


def slot_place(k):
    return (120 + 1560 * (k % 4), 120 + 360 * (k // 4), 1455, 315)


class Timeout(AssertionError):
    pass


def wait_until(predicate, timeout=10.0, what="condition", interval=0.02):
    """Polls predicate() until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def settled(read, timeout=5):
    """The value of read() once two readings in a row agree."""
    last = [read()]

    def same():
        value = read()
        same = value == last[0]
        last[0] = value
        return same
    wait_until(same, timeout, "the screen to settle", interval=0.05)
    return last[0]


class Image:
    def __init__(self, data):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.rgb = data[m.end():]

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside the screen" % (x, y))
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


class XSession:
    """Xvfb and openbox for one scenario; every program started here is stopped with it."""

    def __init__(self, dpi=96, window_manager=True):
        self.dpi, self.window_manager, self.procs = dpi, window_manager, []

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        # Xvfb writes its display number to the pipe once it is ready. No key repeat: on a busy
        # machine a release may come later than the repeat delay.
        read_end, write_end = os.pipe()
        self.procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-dpi",
             str(self.dpi), "-nolisten", "tcp", "-noreset", "-r"], pass_fds=[write_end],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            if not select.select([read_end], [], [], 20)[0]:
                raise Timeout("Xvfb did not start")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb ended before it was ready")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("XAUTHORITY", None)
        if self.window_manager:
            # A window mapped before openbox manages windows may never be shown: wait for its
            # --startup command.
            ready = tempfile.mktemp(prefix="openbox-ready-")
            self.spawn(["openbox", "--sm-disable", "--startup", "touch " + ready],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_until(lambda: os.path.exists(ready), 20, "the window manager")
            os.unlink(ready)

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        self.procs = []

    def spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, **kw)
        self.procs.append(p)
        return p

    def run_tool(self, args, check=True):
        r = subprocess.run(args, env=self.env, capture_output=True, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError("%s failed: %s" % (args[0], r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def windows(self, title):
        """Ids of the mapped windows titled exactly `title`."""
        out = self.run_tool(["xdotool", "search", "--onlyvisible", "--name",
                             "^%s$" % re.escape(title)], check=False)
        return [int(w) for w in out.split()]

    def find_window(self, title):
        return (self.windows(title) or [None])[0]

    def wait_window(self, title, timeout=10):
        return wait_until(lambda: self.find_window(title), timeout, "window %r" % title)

    def wait_no_window(self, title, timeout=10):
        wait_until(lambda: self.find_window(title) is None, timeout, "no window %r" % title)

    def geometry(self, wid):
        """(x, y, width, height) of the window's own area on the screen."""
        out = self.run_tool(["xwininfo", "-id", str(wid)])
        get = lambda key: int(re.search(key + r":\s+(-?\d+)", out).group(1))
        return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"),
                get("Height"))

    def frame_extents(self, wid):
        out = self.run_tool(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"], check=False)
        m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
        return tuple(int(v) for v in m.groups()) if m else (0, 0, 0, 0)

    def active_window(self):
        out = self.run_tool(["xdotool", "getactivewindow"], check=False).strip()
        return int(out) if out else None

    def activate(self, wid):
        self.run_tool(["xdotool", "windowactivate", "--sync", str(wid)], check=False)
        wait_until(lambda: self.active_window() == wid, 5, "window %d to be active" % wid)

    def key(self, *keys):
        self.run_tool(["xdotool", "key", "--delay", "20"] + list(keys))

    def type_text(self, text):
        self.run_tool(["xdotool", "type", "--delay", "20", text])

    def click(self, x, y, repeat=1):
        # A --sync move to where the pointer is already never ends.
        at = dict(line.split("=", 1) for line in self.run_tool(
            ["xdotool", "getmouselocation", "--shell"]).split() if "=" in line)
        sync = [] if (int(at["X"]), int(at["Y"])) == (x, y) else ["--sync"]
        self.run_tool(["xdotool", "mousemove"] + sync + [str(x), str(y), "click", "--repeat",
                       str(repeat), "--delay", "80", "1"])

    def click_close_box(self, wid):
        """Clicks the close control of the window's frame (openbox: the right end of the title)."""
        x, y, w, _ = self.geometry(wid)
        _, right, top, _ = self.frame_extents(wid)
        self.click(x + w + right - 12, y - top // 2)

    def screenshot(self):
        return Image(subprocess.run(["import", "-silent", "-window", "root", "-depth", "8",
                                     "ppm:-"], env=self.env, capture_output=True, check=True,
                                    timeout=30).stdout)

    def grab(self, x, y, width, height):
        """The raw pixels of an area of the screen: much quicker than a whole screenshot."""
        return subprocess.run(["import", "-silent", "-window", "root", "-crop",
                               "%dx%d+%d+%d" % (width, height, x, y), "-depth", "8", "rgb:-"],
                              env=self.env, capture_output=True, check=True, timeout=30).stdout

    def answer(self, title, key):
        """Waits for the message box titled `title` and answers it with `key`."""
        box = self.wait_window(title)
        self.activate(box)
        self.key(key)
        self.wait_no_window(title)


class Window:
    """A top-level window of the program, addressed in twips of its area below the menu bar."""

    def __init__(self, session, wid, area_height=None):
        self.x, self.wid = session, wid
        self.twips_per_pixel = 15 * 96.0 / session.dpi
        self.menu_height = session.geometry(wid)[3] - area_height if area_height else 0

    def outer_height(self):
        _, _, top, bottom = self.x.frame_extents(self.wid)
        return self.x.geometry(self.wid)[3] + top + bottom

    def area_origin(self):
        x, y, _, _ = self.x.geometry(self.wid)
        return x, y + self.menu_height

    def screen_point(self, left, top):
        ox, oy = self.area_origin()
        return ox + int(left // self.twips_per_pixel), oy + int(top // self.twips_per_pixel)

    def click_control(self, place, repeat=1):
        left, top, width, height = place
        self.x.click(*self.screen_point(left + width // 2, top + height // 2), repeat=repeat)

    def pixel_twips(self, image, left, top):
        return image.pixel(*self.screen_point(left, top))

    def grab(self, place):
        left, top, width, height = place
        x, y = self.screen_point(left, top)
        x2, y2 = self.screen_point(left + width, top + height)
        return self.x.grab(x, y, x2 - x, y2 - y)

    def activate(self):
        self.x.activate(self.wid)

    def wait_painted(self, timeout=10):
        """Waits for the first paint: the right end of the menu bar in the menu's grey (a paint
        reaches the screen in one piece)."""
        if self.menu_height > 0:
            x, y, w, _ = self.x.geometry(self.wid)
            wait_until(lambda: self.x.screenshot().pixel(x + w - 3, y + self.menu_height // 2)
                       == MENU_GREY, timeout, "the first paint of window %d" % self.wid)

    def key(self, *keys):
        self.activate()
        self.x.key(*keys)

    def close(self):
        self.x.click_close_box(self.wid)

    def open_menu(self, menu, by_key=False):
        """Opens a menu of the main window's bar with the mouse (or F10) and waits for its
        drop-down; keys typed before it has opened would be lost."""
        ox, oy = self.area_origin()
        self.x.run_tool(["xdotool", "mousemove", "0", "0"])
        before = settled(lambda: self.x.grab(ox + 4, oy + 4, 40, 12))
        if by_key:
            self.key("F10")
        else:
            self.x.click(ox + 15, oy - self.menu_height // 2)  # "File  |", the first menu
        wait_until(lambda: self.x.grab(ox + 4, oy + 4, 40, 12) != before, 5, "the menu to open")
        if MENUS.index(menu):
            self.x.key(*["Right"] * MENUS.index(menu))


class Picker(Window):
    """The map file picker: its list's highlighted rows found on the screen."""

    def rows(self):
        left, top, width, height = MAP_FILES
        x, y0 = self.screen_point(left + width - 180, top)
        return x, range(y0 + 3, self.screen_point(left, top + height)[1] - 3)

    def highlighted_rows(self):
        image = self.x.screenshot()
        x, rows = self.rows()
        return [y for y in rows if image.pixel(x, y) != (255, 255, 255)]

    def wait_painted(self, timeout=10):
        x, rows = self.rows()
        wait_until(lambda: self.x.screenshot().pixel(x, rows[-1]) == (255, 255, 255), timeout,
                   "the picker's file list on the screen")

    def click_row(self, index, repeat=1):
        """Clicks row `index` (from 0), measuring the rows on a first click on row 0."""
        x, y = self.screen_point(MAP_FILES[0] + 300, MAP_FILES[1])
        self.x.click(x, y + 5)
        rows = wait_until(self.highlighted_rows, 5, "the first row's highlight")
        if index or repeat > 1:
            height = rows[-1] - rows[0] + 1
            self.x.click(x, rows[0] + height * index + height // 2, repeat=repeat)

    def press_ok(self):
        self.click_control(DONE)


def open_picker(t, main, move_to=(760, 60)):
    """Presses Add Map; returns the picker once on the screen, moved clear of the main window."""
    main.click_control(MAIN_PLACES["Addmap"])
    wid = t.x.wait_window(PICKER_TITLE)
    if move_to:
        t.x.run_tool(["xdotool", "windowmove", "--sync", str(wid)] + [str(v) for v in move_to])
        wait_until(lambda: abs(t.x.geometry(wid)[0] - move_to[0]) < 40, 5, "the picker to move")
    picker = Picker(t.x, wid)
    picker.wait_painted()
    return picker


class Database:
    """Qimdat.dat in its exact format: 68 slot lines, the selection, 8 colour lines, CR LF."""

    DEFAULT_COLOURS = ["0,255,255,0", "0,0,0,0", "0,255,255,0", "0,255,0", "255,0,0",
                       "255,255,0", "0,0,255", "255,255,255"]

    def __init__(self, slots=None, selection=None, colours=None, numbers=None):
        self.slots = [(slots or {}).get(k, "") for k in range(68)]
        self.numbers = list(numbers or range(68))
        self.selection, self.colours = selection, list(colours or self.DEFAULT_COLOURS)

    def write(self, folder):
        lines = ['%d,"%s"' % (n, name) for n, name in zip(self.numbers, self.slots)]
        lines += ["" if self.selection is None else str(self.selection)] + self.colours
        with open(os.path.join(folder, "Qimdat.dat"), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("latin-1"))

    @staticmethod
    def read(folder):
        with open(os.path.join(folder, "Qimdat.dat"), "rb") as f:
            raw = f.read().decode("latin-1")
        assert raw.endswith("\r\n"), "the file does not end with CR LF"
        lines = raw[:-2].split("\r\n")
        assert len(lines) == 77, "the file has %d lines, not 77" % len(lines)
        db = Database()
        for i in range(68):
            m = re.fullmatch(r'(-?\d+),"([^"]*)"', lines[i])
            assert m, "slot line %d is %r" % (i + 1, lines[i])
            db.numbers[i], db.slots[i] = int(m.group(1)), m.group(2)
        db.selection = int(lines[68]) if lines[68] else None
        db.colours, db.raw = lines[69:], raw
        return db


def wait_file(folder, check, what, timeout=5):
    """Waits until the database file reads back whole and check(database) holds; returns it."""
    def ok():
        try:
            return check(Database.read(folder))
        except (OSError, AssertionError):
            return False
    wait_until(ok, timeout, what)
    return Database.read(folder)


class Test:
    """One scenario: a fresh folder, an X session and the program under test."""

    def __init__(self, binary, session, folder):
        self.binary, self.x, self.folder = binary, session, folder
        self.proc = None
        self.log_path = os.path.join(folder, ".dorvane-output")

    def start(self, wait_main=True, args=(), cwd=None, **kw):
        """Starts the program (in the folder); returns its main Window once it is painted."""
        with open(self.log_path, "ab") as log:
            self.proc = self.x.spawn(list(args) or [self.binary], cwd=cwd or self.folder,
                                     stdout=log, stderr=subprocess.STDOUT, **kw)
        return self.main_window() if wait_main else None

    def main_window(self, timeout=10, other_than=None):
        wid = wait_until(lambda: next((w for w in self.x.windows(MAIN_TITLE) if w != other_than),
                                      None), timeout, "the main window")
        win = Window(self.x, wid, round(AREA_SIZE[1] * self.x.dpi / 96.0))
        win.wait_painted()
        return win

    def wait_exit(self, timeout=10):
        wait_until(lambda: self.proc.poll() is not None, timeout, "the program to end")
        return self.proc.returncode

    def quit(self, win):
        """Ctrl+Q, and the program ends cleanly."""
        win.key("ctrl+q")
        assert self.wait_exit() == 0, "the program did not end cleanly"

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def output(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""


# --- The stand-in as the game's programs, and what it logged (standin.log, one JSON object a
# line; its times "t" are time.monotonic()'s).
PROGRAMS = ("duke3d.exe", "build.exe", "setup.exe")


def install_standins(t, names=PROGRAMS, folder=None):
    source = os.path.abspath(os.environ.get("DORVANE_STANDIN") or os.path.join(
        os.path.dirname(t.binary), "..", "..", "tools", "standin", "dorvane_standin"))
    assert os.access(source, os.X_OK), "no stand-in program at %s" % source
    for name in names:
        shutil.copy(source, os.path.join(folder or t.folder, name))


def read_log(folder):
    try:
        with open(os.path.join(folder, "standin.log"), encoding="latin-1") as f:
            return [json.loads(line) for line in f if line.endswith("\n")]
    except FileNotFoundError:
        return []


class Standins:
    """What the stand-ins of one game folder did, followed from one point on."""

    def __init__(self, folder):
        self.folder, self.seen = folder, len(read_log(folder))

    def wait_start(self, name, timeout=10):
        """The next start of a stand-in under `name` (any letter case) since the last one."""
        def find():
            return next(((i, e) for i, e in enumerate(read_log(self.folder)[self.seen:])
                         if e["event"] == "start" and e["name"].lower() == name.lower()), None)
        i, event = wait_until(find, timeout, "%s to start" % name)
        self.seen += i + 1
        return event

    def events_of(self, pid, kind):
        return [e for e in read_log(self.folder) if e["pid"] == pid and e["event"] == kind]

    def wait_event(self, pid, kind, timeout=10):
        return wait_until(lambda: self.events_of(pid, kind), timeout,
                          "%s of stand-in %d" % (kind, pid))

    def starts_since(self, mark):
        return [e for e in read_log(self.folder)[mark:] if e["event"] == "start"]


def end(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


def ended(pid):
    """Whether process `pid` is gone or a zombie (a read that fails counts as gone)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return True
    return stat[stat.rindex(")") + 2:].startswith("Z")


def children_of(pid):
    """Ids and states of the processes whose parent is `pid`."""
    out = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            out.append((int(entry), fields[0]))
    return out


def run_command(t, win, command, way):
    """Runs a launcher command as a user does: "button", "menu" or "shortcut"."""
    win.activate()
    if way == "button":
        win.click_control(MAIN_PLACES[BUTTONS[command]])
    elif way == "shortcut":
        t.x.key(SHORTCUTS[command])
    else:
        menu, index = MENU_ITEMS[command]
        win.open_menu(menu)
        t.x.key(*["Down"] * (index + 1) + ["Return"])


# --- The real engines' windows and the launcher's own state (tests/engines). The launcher
# "answers again" when it is back in its event loop: /proc/PID/syscall shows FLTK's select or
# pselect6 (x86-64 numbers) without a click or key that would take the front from the program
# under test; Xlib waiting for the X server's reply waits in poll, which does not count.
WAITING = {23, 270}


def waiting_for_events(pid):
    try:
        with open("/proc/%d/syscall" % pid) as f:
            field = f.read().split()[0]
    except (OSError, IndexError):
        return False
    return field.isdigit() and int(field) in WAITING


def client_windows(t):
    out = t.x.run_tool(["xprop", "-root", "_NET_CLIENT_LIST"], check=False)
    return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]


def prop(t, wid, name):
    return t.x.run_tool(["xprop", "-id", str(wid), name], check=False)


def wm_class(t, wid):
    m = re.search(r'= "([^"]*)"', prop(t, wid, "WM_CLASS"))
    return m.group(1) if m else ""


def window_of_class(t, name, leave_out=()):
    """A managed window whose class instance is `name` (any letter case), not in leave_out."""
    for wid in client_windows(t):
        if wid not in leave_out and wm_class(t, wid).lower() == name.lower():
            return wid
    return None


def maximised(t, wid):
    state = prop(t, wid, "_NET_WM_STATE")
    return "_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state


def focus(t):
    out = t.x.run_tool(["xdotool", "getwindowfocus"], check=False).strip()
    return int(out) if out else None


def in_front(t, wid):
    """The window is the window manager's active window and holds the keyboard focus."""
    return t.x.active_window() == wid and focus(t) == wid


def top_window(t):
    """The top-most child of the root window: (id, x, y, width, height)."""
    out = t.x.run_tool(["xwininfo", "-root", "-children"], check=False)
    m = re.search(r"children:\s*\n\s*(0x[0-9a-f]+).*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", out)
    if not m:
        return None
    wid, w, h, x, y = m.groups()
    return int(wid, 16), int(x), int(y), int(w), int(h)


def same_client(a, b):
    """Whether two windows were made by one X client (they share the client's id base)."""
    return a >> 21 == b >> 21


class Launch:
    """One launch from its key (the command's shortcut, or `press()`, which returns the time it
    pressed its own): when each condition was first seen to hold, polled together, among them
    "answered": the launcher back in its event loop after starting a new child."""

    def __init__(self, t, win, command, press=None):
        self.t, self.seen = t, {}
        self.older = {pid for pid, _ in children_of(t.proc.pid)}
        if press is None:
            win.activate()
            self.t0 = time.monotonic()
            t.x.key(SHORTCUTS[command])
        else:
            self.t0 = press()

    def note(self, name, holds):
        if name not in self.seen and holds():
            self.seen[name] = time.monotonic()

    def poll(self, conditions, timeout, what):
        """Polls every condition ({name: function}) and the launcher until all have held."""
        launcher = self.t.proc.pid

        def answered():
            new = {pid for pid, _ in children_of(launcher)} - self.older
            return new and waiting_for_events(launcher)

        def all_seen():
            self.note("answered", answered)
            for name, holds in conditions.items():
                self.note(name, holds)
            return len(self.seen) == len(conditions) + 1
        wait_until(all_seen, timeout, what, interval=0.005)

    def since_key(self):
        return {name: at - self.t0 for name, at in self.seen.items()}


class SeenLog:
    """A log's lines from a mark on, each with the time it was first seen (tests/engines)."""

    def __init__(self, read_lines):
        self.read_lines, self.seen, self.mark = read_lines, [], 0

    def find(self, predicate):
        now, lines = time.monotonic(), self.read_lines()
        self.seen += [(line, now) for line in lines[len(self.seen):]]
        return next(((line, at) for line, at in self.seen[self.mark:] if predicate(line)), None)

    def wait(self, predicate, what, timeout=20):
        return wait_until(lambda: self.find(predicate), timeout, what, interval=0.01)

    def start(self):
        """Sets the mark after the lines written so far."""
        self.find(lambda line: False)
        self.mark = len(self.seen)


def print_times(engine, command, **times):
    """Times of one launch after its key, printed for the record."""
    print("%s %s: %s" % (engine, command, ", ".join("%s %.2f s" % kv for kv in times.items())),
          flush=True)


def program_path():
    path = os.environ.get("DORVANE") or (sys.argv[1] if len(sys.argv) > 1 else "")
    if not path or not os.access(path, os.X_OK):
        sys.exit("give the program's path as DORVANE or as the first argument")
    return os.path.abspath(path)


def scenario(fn=None, **session_args):
    """Runs the scenario when its file is run as a program; exits 0 when it passes.
    Arguments go to XSession: @scenario(dpi=192)."""
    if fn is None:
        return lambda f: scenario(f, **session_args)
    if fn.__module__ != "__main__":
        return fn
    folder = tempfile.mkdtemp(prefix="dorvane-e2e-")
    ok = False
    try:
        with XSession(**session_args) as session:
            t = Test(program_path(), session, folder)
            try:
                fn(t)
                ok = True
            except BaseException:
                traceback.print_exc()
                try:
                    shot = folder.rstrip("/") + "-failure.png"
                    subprocess.run(["import", "-window", "root", shot], env=session.env,
                                   timeout=30)
                    print("screenshot of the failure:", shot)
                    tree = session.run_tool(["xwininfo", "-root", "-tree"], check=False)
                    print("windows:\n" + "\n".join(l for l in tree.splitlines() if '"' in l))
                except Exception as e:  # only a help
                    print("no screenshot or window list:", e)
                status = t.proc.poll() if t.proc else "not started"
                print("program status: %s" % ("running" if status is None else status))
                print("program output:\n" + t.output())
    finally:
        if ok:
            shutil.rmtree(folder, ignore_errors=True)
        else:
            print("scenario folder kept:", folder)
    print("%s: %s" % (fn.__name__, "passed" if ok else "FAILED"))
    sys.exit(0 if ok else 1)
