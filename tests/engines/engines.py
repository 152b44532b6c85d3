# SPDX-License-Identifier: MIT
"""Helpers for the scenarios with the real engines: the X windows of the started programs, the
launcher's own state, and the times the scenarios report.

A launcher "answers again" when its user-interface thread is back in its event loop, waiting
for the user's events, which /proc/PID/syscall shows from outside without touching the windows
(any other probe, a click or a key, would take the front and the focus from the program under
test). FLTK's loop waits in select (pselect6 underneath); Xlib waiting for a reply of the X
server, as the launcher's own steps do, waits in poll, which does not count.
"""

import os
import re
import time

from launcher_support import SHORTCUTS, children_of
from xsession import wait_until

# x86-64 system calls in which FLTK's event loop waits: select, pselect6.
WAITING = {23, 270}


def waiting_for_events(pid):
    try:
        with open("/proc/%d/syscall" % pid) as f:
            field = f.read().split()[0]
    except (OSError, IndexError):
        return False
    return field.isdigit() and int(field) in WAITING


def answers_again(pid, timeout=15):
    """The time the launcher is back in its event loop, waiting: polled every 5 ms."""
    return wait_until(lambda: waiting_for_events(pid) and time.monotonic(), timeout,
                      "the launcher to answer again", interval=0.005)


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
    """One launch from its key on: the first time each of its conditions was seen to hold, all
    polled together, among them "answered": the launcher back in its event loop once it has
    started the program (a new child of its own)."""

    def __init__(self, t, win, command, press=None):
        """Presses the command's shortcut in the launcher, or calls `press`, which presses a key
        of its own and returns the time it did."""
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


class Timings:
    """Times of one launch after its key, printed for the record."""

    def __init__(self, engine):
        self.engine = engine
        self.rows = []

    def add(self, command, **times):
        self.rows.append((command, times))
        print("%s %s: %s" % (self.engine, command, ", ".join(
            "%s %.2f s" % (k, v) for k, v in times.items())), flush=True)
