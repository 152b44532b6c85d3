# SPDX-License-Identifier: MIT
"""The program in an X server of its own (Xvfb at 96 dpi, openbox), driven through xdotool. Places
are (left, top, width, height) in twips (15 a pixel) of a window's area below the menu bar."""

import contextlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

MAIN_TITLE, PICKER_TITLE = "Dorvane (Duke3d Map Loader)", "Add Map"
AREA = (634, 436)  # the main window's area below its menu bar
GREY, WHITE = (192, 192, 192), (255, 255, 255)
PLACES = {"Addmap": (6360, 120, 1095, 3495), "Build": (7560, 120, 1935, 615),
          "Setup": (7560, 840, 1935, 615), "Duke3d": (7560, 1560, 1935, 615),
          "Moveme": (7560, 2280, 1935, 615), "Clear": (7560, 3000, 1935, 615),
          "Random": (6360, 3720, 1695, 1815), "Wobbin": (8280, 4080, 975, 1125),
          "Quit": (6360, 5640, 3135, 615), "Towhere": (6360, 120, 3135, 6135),
          "tttt2": (480, 6240, 1335, 255), "files": (120, 120, 3375, 2820),
          "Ok": (120, 3000, 3375, 615)}  # the last two: the picker's list and Ok
COMMANDS = {"RIB": ("ctrl+b", 1, 0, "Build"), "RIS": ("ctrl+s", 1, 1, "Setup"),
            "RID": ("ctrl+d", 1, 2, "Duke3d"), "RB": ("ctrl+c", 2, 0, None),
            "RS": ("ctrl+t", 2, 1, None), "RD": ("ctrl+e", 2, 2, None)}  # key, menu, item, button


def slot_place(k):
    return (120 + 1560 * (k % 4), 120 + 360 * (k // 4), 1455, 315)


def wait_until(predicate, timeout=10.0, what="condition", interval=0.02):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)
    return value


class XSession:  # Xvfb and openbox; every program started here is stopped with them

    def __init__(self, window_manager=True):
        self.window_manager, self.procs, self.env = window_manager, [], None

    def __enter__(self):
        try:
            # The display's number comes once Xvfb is ready; no key repeat (a release may be late).
            read_end, write_end = os.pipe()
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                        "-dpi", "96", "-nolisten", "tcp", "-noreset", "-r"],
                       pass_fds=[write_end], stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as f:
                self.display = ":" + f.readline().strip()
            self.env = dict(os.environ, DISPLAY=self.display)
            self.env.pop("XAUTHORITY", None)
            if self.window_manager:  # a window mapped before openbox runs may never be shown
                ready = tempfile.mktemp(prefix="openbox-ready-")
                self.spawn(["openbox", "--sm-disable", "--startup", "touch " + ready],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                wait_until(lambda: os.path.exists(ready), 20, "the window manager")
                os.unlink(ready)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        self.procs = []

    def spawn(self, args, **kw):
        kw.setdefault("env", self.env)
        self.procs.append(subprocess.Popen(args, **kw))
        return self.procs[-1]

    def run_tool(self, args, check=True):
        r = subprocess.run(args, env=self.env, capture_output=True, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError("%s failed: %s" % (args[0], r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def windows(self, title):  # the mapped windows titled exactly `title`
        return [int(w) for w in self.run_tool(["xdotool", "search", "--onlyvisible", "--name",
                                               "^%s$" % re.escape(title)], check=False).split()]

    def wait_window(self, title, other_than=None):
        return wait_until(lambda: next((w for w in self.windows(title) if w != other_than), None),
                          10, "window %r" % title)

    def wait_no_window(self, title):
        wait_until(lambda: not self.windows(title), 10, "no window %r" % title)

    def geometry(self, wid):  # (x, y, width, height) of the window's own area on the screen
        out = self.run_tool(["xwininfo", "-id", str(wid)])
        return tuple(int(re.search(key + r":\s+(-?\d+)", out).group(1)) for key in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def frame_extents(self, wid):  # (left, right, top, bottom) of the window manager's frame
        out = self.run_tool(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"], check=False)
        return tuple(int(v) for v in re.findall(r"\d+", out.partition("=")[2])) or (0, 0, 0, 0)

    def active_window(self):
        return int(self.run_tool(["xdotool", "getactivewindow"], check=False) or 0)

    def activate(self, wid):
        self.run_tool(["xdotool", "windowactivate", "--sync", str(wid)], check=False)
        wait_until(lambda: self.active_window() == wid, 5, "window %d to be active" % wid)

    def key(self, *keys):
        self.run_tool(["xdotool", "key", "--delay", "20"] + list(keys))

    def click(self, x, y, repeat=1):
        self.run_tool(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat),
                       "--delay", "80", "1"])

    def click_close_box(self, wid):  # at the right end of the frame's title
        x, y, w, _ = self.geometry(wid)
        _, right, top, _ = self.frame_extents(wid)
        self.click(x + w + right - 12, y - top // 2)

    def grab(self, x, y, width, height):  # RGB bytes: a small area is quicker than the screen
        return subprocess.run(["import", "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (
            width, height, x, y), "-depth", "8", "rgb:-"], env=self.env, capture_output=True,
            check=True, timeout=30).stdout

    def screenshot(self):  # a function from a point of the screen to its colour
        rgb = self.grab(0, 0, 1280, 1024)
        return lambda x, y: tuple(rgb[(y * 1280 + x) * 3:(y * 1280 + x) * 3 + 3])

    def answer(self, title, key):  # of the message box titled `title`
        self.activate(self.wait_window(title))
        self.key(key)
        self.wait_no_window(title)


class Window:  # a top-level window of the program (the main window with its menu bar)

    def __init__(self, session, wid, menu=False):
        self.x, self.wid = session, wid
        self.menu_height = session.geometry(wid)[3] - AREA[1] if menu else 0

    def point(self, left=0, top=0):
        x, y, _, _ = self.x.geometry(self.wid)
        return x + left // 15, y + self.menu_height + top // 15

    def click(self, place, repeat=1):
        left, top, width, height = place
        self.x.click(*self.point(left + width // 2, top + height // 2), repeat=repeat)

    def pixel(self, left, top, shot=None):
        return (shot or self.x.screenshot())(*self.point(left, top))

    def grab(self, place):
        return self.x.grab(*self.point(*place[:2]), place[2] // 15, place[3] // 15)

    def key(self, *keys):
        self.x.activate(self.wid)
        self.x.key(*keys)

    def close(self):
        self.x.click_close_box(self.wid)

    def open_menu(self, menu):
        """F10, then menu number `menu`, once a closing menu's repaint ends (keys would be lost)."""
        ox, oy = self.point()
        self.x.run_tool(["xdotool", "mousemove", "0", "0"])
        seen = [self.x.grab(ox + 4, oy + 4, 40, 12)]
        wait_until(lambda: seen.append(self.x.grab(ox + 4, oy + 4, 40, 12)) or
                   seen[-1] == seen[-2], 5, "the screen to settle", 0.05)
        self.key("F10")
        wait_until(lambda: self.x.grab(ox + 4, oy + 4, 40, 12) != seen[-1], 5, "the menu")
        if menu:
            self.x.key(*["Right"] * menu)


class Picker(Window):
    def highlighted_rows(self):
        left, top, width, height = PLACES["files"]
        x, y = self.point(left + width - 180, top + 45)
        column = self.x.grab(x, y, 1, height // 15 - 6)
        return [y + i for i in range(len(column) // 3) if column[3 * i:3 * i + 3] != bytes(WHITE)]

    def click_row(self, index, repeat=1):
        x, y = self.point(PLACES["files"][0] + 300, PLACES["files"][1])
        self.x.click(x, y + 5)
        rows = wait_until(self.highlighted_rows, 5, "the first row's highlight")
        height = rows[-1] - rows[0] + 1
        self.x.click(x, rows[0] + height * index + height // 2, repeat=repeat)


def open_picker(t, main=None, move=True, wid=None):
    """Presses Add Map (or takes the picker `wid`); returns it painted, moved clear of `main`."""
    if main:
        main.click(PLACES["Addmap"])
    picker = Picker(t.x, wid or t.x.wait_window(PICKER_TITLE))
    if move:
        t.x.run_tool(["xdotool", "windowmove", "--sync", str(picker.wid), "760", "60"])
        wait_until(lambda: abs(picker.point()[0] - 760) < 40, 5, "the picker to move")
    left, top, width, height = PLACES["files"]
    at = picker.point(left + width - 180, top + height - 45)
    wait_until(lambda: t.x.grab(*at, 1, 1) == bytes(WHITE), 10, "the picker's list")
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
        lines = ['%d,"%s"' % kv for kv in zip(self.numbers, self.slots)]
        lines += ["" if self.selection is None else str(self.selection)] + self.colours
        with open(os.path.join(folder, "Qimdat.dat"), "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("latin-1"))

    @staticmethod
    def read(folder):
        with open(os.path.join(folder, "Qimdat.dat"), "rb") as f:
            raw = f.read().decode("latin-1")
        lines = raw.split("\r\n")
        assert len(lines) == 78 and lines[-1] == "", "not 77 lines ending in CR LF: %r" % raw
        slots = [re.fullmatch(r'(-?\d+),"([^"]*)"', line) for line in lines[:68]]
        assert all(slots), "a slot line is not NUMBER,\"NAME\": %r" % raw
        db = Database(dict(enumerate(m.group(2) for m in slots)), int(lines[68]) if lines[68]
                      else None, lines[69:77], [int(m.group(1)) for m in slots])
        db.raw = raw
        return db


def wait_file(folder, check, what):
    return wait_until(lambda: (lambda db: check(db) and db)(Database.read(folder)), 5, what)


class Test:  # one scenario: a fresh folder, an X session and the program under test

    def __init__(self, binary, session, folder):
        self.binary, self.x, self.folder, self.proc = binary, session, folder, None
        self.log_path = os.path.join(folder, ".dorvane-output")

    def start(self, wait_main=True, args=(), cwd=None, other_than=None, **kw):
        with open(self.log_path, "ab") as log:
            self.proc = self.x.spawn(list(args) or [self.binary], cwd=cwd or self.folder,
                                     stdout=log, stderr=subprocess.STDOUT, **kw)
        return self.main_window(other_than) if wait_main else None

    def main_window(self, other_than=None):
        win = Window(self.x, self.x.wait_window(MAIN_TITLE, other_than), menu=True)
        x, y, w, _ = self.x.geometry(win.wid)
        wait_until(lambda: self.x.grab(x + w - 3, y + win.menu_height // 2, 1, 1) == bytes(GREY),
                   10, "the first paint of window %d" % win.wid)
        return win

    def wait_exit(self):
        wait_until(lambda: self.proc.poll() is not None, 10, "the program to end")
        return self.proc.returncode

    def quit(self, win):
        win.key("ctrl+q")
        assert self.wait_exit() == 0, "the program did not end cleanly"


class Standins:
    """The stand-ins' log: a JSON object a line, "t" in time.monotonic()'s seconds."""

    def __init__(self, folder):
        self.path = os.path.join(folder, "standin.log")
        open(self.path, "a").close()
        self.seen = len(self.log())

    def log(self):
        with open(self.path, encoding="latin-1") as f:
            return [json.loads(line) for line in f if line.endswith("\n")]

    def wait_start(self, name):
        found = lambda: [(i, e) for i, e in enumerate(self.log()) if i >= self.seen and
                         e["event"] == "start" and e["name"].lower() == name.lower()][:1]
        [(self.seen, event)] = wait_until(found, 10, "%s to start" % name)
        self.seen += 1
        return event

    def events_of(self, pid, kind):  # a key event with an empty key is a modifier's
        return [e for e in self.log() if (e["pid"], e["event"]) == (pid, kind) and e.get("key", 1)]

    def wait_event(self, pid, kind, timeout=10):
        return wait_until(lambda: self.events_of(pid, kind), timeout, "%s of %d" % (kind, pid))


def end(pid):
    with contextlib.suppress(ProcessLookupError):
        os.kill(pid, signal.SIGTERM)


def proc_stat(pid):
    try:
        with open("/proc/%s/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()
    except OSError:
        return []


def children_of(pid):
    return [int(p) for p in os.listdir("/proc")
            if p.isdigit() and proc_stat(p)[1:2] == [str(pid)]]


def run_command(win, command, way):  # way: "button", "menu" or "shortcut"
    shortcut, menu, item, button = COMMANDS[command]
    if way == "button":
        win.click(PLACES[button])
    elif way == "shortcut":
        win.key(shortcut)
    else:
        win.open_menu(menu)
        win.x.key(*["Down"] * (item + 1) + ["Return"])


def prop(t, wid, name):
    return t.x.run_tool(["xprop", "-id", str(wid), name], check=False)


def wm_class(t, wid):
    return (re.findall(r'= "([^"]*)"', prop(t, wid, "WM_CLASS")) or [""])[0]


def window_of_class(t, name):
    listed = re.findall(r"0x[0-9a-f]+", t.x.run_tool(["xprop", "-root", "_NET_CLIENT_LIST"]))
    return next((w for w in (int(v, 16) for v in listed) if wm_class(t, w).lower() == name.lower()),
                None)


def maximised(t, wid):
    state = prop(t, wid, "_NET_WM_STATE")
    return "_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state


def in_front(t, wid):  # the active window, holding the keyboard focus
    focus = t.x.run_tool(["xdotool", "getwindowfocus"], check=False).strip()
    return t.x.active_window() == wid and focus == str(wid)


class SeenLog:  # a log's lines from a mark on, each with the time it was first seen

    def __init__(self, read_lines):
        self.read_lines, self.seen, self.mark = read_lines, [], 0

    def find(self, predicate):
        now, lines = time.monotonic(), self.read_lines()
        self.seen += [(line, now) for line in lines[len(self.seen):]]
        return next(((line, at) for line, at in self.seen[self.mark:] if predicate(line)), None)

    def wait(self, predicate, what, timeout=20):
        return wait_until(lambda: self.find(predicate), timeout, what, interval=0.01)

    def start(self):  # the mark after the lines written so far
        self.find(lambda line: False)
        self.mark = len(self.seen)


def scenario(fn):
    """Runs the scenario on $DORVANE or the first argument; a failure keeps folder and screen."""
    binary = os.path.abspath(os.environ.get("DORVANE") or sys.argv[1])
    folder = tempfile.mkdtemp(prefix="dorvane-e2e-")
    with XSession() as session:
        t = Test(binary, session, folder)
        try:
            fn(t)
        except BaseException:
            traceback.print_exc()
            subprocess.run(["import", "-window", "root", folder + ".png"], env=session.env)
            print(open(t.log_path, errors="replace").read() if t.proc else "", flush=True)
            sys.exit("%s: FAILED; kept %s and %s.png" % (fn.__name__, folder, folder))
    shutil.rmtree(folder, ignore_errors=True)
    print("%s: passed" % fn.__name__)
