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


class Timings:
    """Times of one launch after its key, printed for the record."""

    def __init__(self, engine):
        self.engine = engine
        self.rows = []

    def add(self, command, **times):
        self.rows.append((command, times))
        print("%s %s: %s" % (self.engine, command, ", ".join(
            "%s %.2f s" % (k, v) for k, v in times.items())), flush=True)
