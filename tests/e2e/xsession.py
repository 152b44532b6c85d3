# SPDX-License-Identifier: MIT
"""End-to-end test harness: the real program in a virtual X server.

Every scenario runs in its own X server (Xvfb, 24-bit, 96 dpi) on a free display number, with
openbox as the window manager, and stops everything it started when it ends, also on failure.
Only the Python 3 standard library, xdotool, xwininfo/xprop (x11-utils) and ImageMagick's
`import`/`convert` are used.

A scenario file looks like this:

    from xsession import scenario, Database

    @scenario
    def test(t):                       # t: a Test, see below
        Database(slots={5: "e1l8.map"}, selection=5).write(t.folder)
        win = t.start()                # runs $DORVANE in t.folder, waits for the main window
        win.click_twips(1680 + 100, 120 + 360 * 2 + 100)   # slot 9
        win.key("ctrl+q")
        t.wait_exit()
        assert Database.read(t.folder).selection == 9

`@scenario` runs the function at once when the file is executed as a program (CTest passes the
binary as DORVANE in the environment or as the first argument), prints a clear failure with the
program's output, saves a screenshot of the screen on failure next to the temp folder's name,
and sets the exit code.

The pieces, for scenarios of any window:

- XSession: the X server and the window manager. find_window(title), wait_window(title),
  wait_no_window(title), geometry(wid), frame_extents(wid), activate(wid), key(*keys),
  type_text(text), click(x, y), click_close_box(wid), screenshot() -> Image.
- Image: pixel(x, y) -> (r, g, b); save_png(path).
- Test: a scenario's folder (t.folder, a fresh temp folder), session (t.x), start() -> Window,
  wait_exit(), the program's output (t.output()).
- Window: one top-level window of the program: area_origin() (screen position of the area below
  its menu bar), click_twips(left, top), pixel_twips(image, left, top), menu_height, key(),
  close() (clicks the frame's close control), wait_painted().
- Database: the catalogue file Qimdat.dat, written and read in its exact format.
- wait_until(predicate, timeout, what): polls a condition with a bound; never sleeps blindly.
- MAIN_TITLE, MAIN_PLACES (the main window's controls in twips), slot_place(k).

Geometry: twips are converted at 15 per pixel on a 96 dpi screen (XSession(dpi=...) scales).

run_in_x.py runs any program (for instance a GoogleTest binary of the FLTK backend) in such a
session and exits with its status.
"""

import functools
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

TWIPS_PER_PIXEL = 15
MAIN_TITLE = "Dorvane (Duke3d Map Loader)"
AREA_SIZE = (634, 436)  # the main window's area below its menu bar at 96 dpi
MENU_GREY = (192, 192, 192)  # the menu bar's background

# Places of the main window's controls: (left, top, width, height) in twips.
MAIN_PLACES = {
    "Addmap": (6360, 120, 1095, 3495),
    "Build": (7560, 120, 1935, 615),
    "Duke3d": (7560, 1560, 1935, 615),
    "Setup": (7560, 840, 1935, 615),
    "Random": (6360, 3720, 1695, 1815),
    "Moveme": (7560, 2280, 1935, 615),
    "Clear": (7560, 3000, 1935, 615),
    "Quit": (6360, 5640, 3135, 615),
    "Wobbin": (8280, 4080, 975, 1125),
    "Towhere": (6360, 120, 3135, 6135),
    "Coke": (3240, 6240, 2295, 255),
    "tttt2": (480, 6240, 1335, 255),
    "dixie": (8160, 3720, 1335, 255),
    "can": (6120, 6240, 1695, 255),
    "money": (8160, 5280, 1455, 255),
}


def slot_place(k):
    """Place of slot button Option1(k) in twips."""
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


class Image:
    """A screenshot in memory (RGB)."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_ppm(data):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not m:
            raise ValueError("not a binary PPM")
        w, h = int(m.group(1)), int(m.group(2))
        if int(m.group(3)) != 255:
            raise ValueError("not an 8-bit PPM")
        return Image(w, h, data[m.end():m.end() + w * h * 3])

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def save_png(self, path):
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        subprocess.run(["convert", "ppm:-", path], input=header + self.rgb, check=True)
        return path


class XSession:
    """An X server of its own (Xvfb) with openbox, for one scenario."""

    def __init__(self, dpi=96, width=1280, height=1024, window_manager=True):
        self.dpi, self.width, self.height = dpi, width, height
        self.window_manager = window_manager
        self.procs = []
        self.display = None
        self.env = None

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _start(self):
        # Xvfb picks a free display number itself and writes it to the pipe once it is ready.
        # No key repeat: on a busy machine a key's release can come later than the repeat delay,
        # and a repeated Ctrl+B would start the editor twice.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (self.width, self.height), "-dpi", str(self.dpi), "-nolisten", "tcp",
             "-noreset", "-r"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(xvfb)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
            if not ready:
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
            # openbox runs its --startup command once it manages windows; a window mapped
            # earlier, while it is still starting, may be framed but never shown.
            ready = tempfile.NamedTemporaryFile(prefix="openbox-ready-", delete=False)
            ready.close()
            os.unlink(ready.name)
            wm = subprocess.Popen(["openbox", "--sm-disable", "--startup",
                                   "touch %s" % ready.name], env=self.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.procs.append(wm)
            try:
                wait_until(lambda: os.path.exists(ready.name), 20, "the window manager")
            finally:
                if os.path.exists(ready.name):
                    os.unlink(ready.name)

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

    def spawn(self, args, cwd=None, **kw):
        """Starts a program on this display; it is stopped with the session."""
        p = subprocess.Popen(args, cwd=cwd, env=self.env, **kw)
        self.procs.append(p)
        return p

    def run_tool(self, args, check=True, input=None):
        r = subprocess.run(args, env=self.env, input=input, capture_output=True, timeout=30)
        if check and r.returncode != 0:
            raise RuntimeError("%s failed: %s" % (args[0], r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    # --- Windows
    def find_window(self, title):
        """The id of the mapped window whose title is exactly `title`, or None."""
        out = self.run_tool(["xdotool", "search", "--onlyvisible", "--name",
                             "^%s$" % re.escape(title)], check=False)
        ids = [int(w) for w in out.split()]
        return ids[0] if ids else None

    def wait_window(self, title, timeout=10):
        return wait_until(lambda: self.find_window(title), timeout, "window %r" % title)

    def wait_no_window(self, title, timeout=10):
        wait_until(lambda: self.find_window(title) is None, timeout, "no window %r" % title)

    def geometry(self, wid):
        """(x, y, width, height) of the window's own area on the screen, frame excluded."""
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

    # --- Input (XTEST, as a user's keyboard and mouse)
    def key(self, *keys):
        self.run_tool(["xdotool", "key", "--delay", "20"] + list(keys))

    def type_text(self, text):
        self.run_tool(["xdotool", "type", "--delay", "20", text])

    def pointer(self):
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env,
                             capture_output=True, text=True, check=True, timeout=30).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def click(self, x, y, button=1, repeat=1):
        # A --sync move waits for the pointer to arrive, which never happens when it is there
        # already (xdotool then stalls for seconds).
        sync = [] if self.pointer() == (x, y) else ["--sync"]
        self.run_tool(["xdotool", "mousemove"] + sync + [str(x), str(y), "click", "--repeat",
                       str(repeat), "--delay", "80", str(button)])

    def click_close_box(self, wid):
        """Clicks the close control of the window's frame (openbox: right end of the title)."""
        x, y, w, _ = self.geometry(wid)
        _, right, top, _ = self.frame_extents(wid)
        self.click(x + w + right - 12, y - top // 2)

    def screenshot(self):
        data = subprocess.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, check=True, timeout=30).stdout
        return Image.from_ppm(data)


class Window:
    """A top-level window of the program, addressed in twips of its area below the menu bar."""

    def __init__(self, session, wid, area_height=None):
        self.x, self.wid = session, wid
        # Twips per pixel: 15 on a 96 dpi screen, fewer on a denser one.
        self.twips_per_pixel = TWIPS_PER_PIXEL * 96.0 / session.dpi
        _, _, _, h = session.geometry(wid)
        self.menu_height = h - area_height if area_height is not None else 0

    def outer_height(self):
        """The height with title bar and borders, in pixels: what the gradient spreads over."""
        _, _, _, height = self.x.geometry(self.wid)
        _, _, top, bottom = self.x.frame_extents(self.wid)
        return height + top + bottom

    def area_origin(self):
        x, y, _, _ = self.x.geometry(self.wid)
        return x, y + self.menu_height

    def screen_point(self, left, top):
        ox, oy = self.area_origin()
        return ox + int(left // self.twips_per_pixel), oy + int(top // self.twips_per_pixel)

    def click_twips(self, left, top, repeat=1):
        self.x.click(*self.screen_point(left, top), repeat=repeat)

    def click_control(self, place, repeat=1):
        """Clicks the middle of a control placed at (left, top, width, height) twips."""
        left, top, width, height = place
        self.click_twips(left + width // 2, top + height // 2, repeat)

    def pixel_twips(self, image, left, top):
        return image.pixel(*self.screen_point(left, top))

    def activate(self):
        self.x.activate(self.wid)

    def wait_painted(self, timeout=10):
        """Waits until the window shows its first paint: the right end of its menu bar is in
        the menu's grey. A window's paint reaches the screen in one piece, so the rest of it is
        there too. A window without a menu bar is taken as painted."""
        if self.menu_height <= 0:
            return
        x, y, w, _ = self.x.geometry(self.wid)
        point = (x + w - 3, y + self.menu_height // 2)
        wait_until(lambda: self.x.screenshot().pixel(*point) == MENU_GREY, timeout,
                   "the first paint of window %d" % self.wid)

    def key(self, *keys):
        self.activate()
        self.x.key(*keys)

    def close(self):
        self.x.click_close_box(self.wid)


class Database:
    """Qimdat.dat in its exact format: 68 slot lines, the selection, 8 colour lines, CR LF."""

    DEFAULT_COLOURS = ["0,255,255,0", "0,0,0,0", "0,255,255,0", "0,255,0", "255,0,0",
                       "255,255,0", "0,0,255", "255,255,255"]

    def __init__(self, slots=None, selection=None, colours=None, numbers=None):
        self.slots = ["" for _ in range(68)]
        for k, name in (slots or {}).items():
            self.slots[k] = name
        self.numbers = list(numbers) if numbers else list(range(68))
        self.selection = selection
        self.colours = list(colours or self.DEFAULT_COLOURS)

    def text(self):
        lines = ['%d,"%s"' % (n, name) for n, name in zip(self.numbers, self.slots)]
        lines.append("" if self.selection is None else str(self.selection))
        lines += self.colours
        return "".join(line + "\r\n" for line in lines)

    def write(self, folder):
        with open(os.path.join(folder, "Qimdat.dat"), "wb") as f:
            f.write(self.text().encode("latin-1"))

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
        db.colours = lines[69:]
        db.raw = raw
        return db


class Test:
    """One scenario: a fresh folder, an X session and the program under test."""

    def __init__(self, binary, session, folder):
        self.binary, self.x, self.folder = binary, session, folder
        self.proc = None
        self.log_path = os.path.join(folder, ".dorvane-output")

    def start(self, wait_main=True):
        """Starts the program in the folder; returns its main Window once it is mapped."""
        log = open(self.log_path, "wb")
        self.proc = self.x.spawn([self.binary], cwd=self.folder, stdout=log,
                                 stderr=subprocess.STDOUT)
        log.close()
        if wait_main:
            return self.main_window()
        return None

    def main_window(self, timeout=10):
        """The main window once it is on the screen and painted."""
        wid = self.x.wait_window(MAIN_TITLE, timeout)
        area_height = round(AREA_SIZE[1] * self.x.dpi / 96.0)
        win = Window(self.x, wid, area_height)
        win.wait_painted()
        return win

    def wait_exit(self, timeout=10):
        wait_until(lambda: self.proc.poll() is not None, timeout, "the program to end")
        return self.proc.returncode

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def output(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""


def program_path():
    path = os.environ.get("DORVANE") or (sys.argv[1] if len(sys.argv) > 1 else "")
    if not path or not os.access(path, os.X_OK):
        sys.exit("give the program's path as DORVANE or as the first argument")
    return os.path.abspath(path)


def scenario(fn=None, **session_args):
    """Runs the scenario now when its file is run as a program; exits 0 when it passes.
    Arguments, if any, go to XSession: @scenario(dpi=192)."""
    if fn is None:
        return lambda f: scenario(f, **session_args)
    if fn.__module__ != "__main__":
        return fn

    @functools.wraps(fn)
    def run():
        binary = program_path()
        folder = tempfile.mkdtemp(prefix="dorvane-e2e-")
        ok = False
        try:
            with XSession(**session_args) as session:
                t = Test(binary, session, folder)
                try:
                    fn(t)
                    ok = True
                except BaseException:
                    traceback.print_exc()
                    try:
                        shot = folder.rstrip("/") + "-failure.png"
                        session.screenshot().save_png(shot)
                        print("screenshot of the failure:", shot)
                    except Exception as e:  # the screenshot is only a help
                        print("no screenshot:", e)
                    try:
                        tree = session.run_tool(["xwininfo", "-root", "-tree"], check=False)
                        print("windows:\n" + "\n".join(
                            line for line in tree.splitlines() if '"' in line))
                    except Exception as e:
                        print("no window list:", e)
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

    run()
    return fn
