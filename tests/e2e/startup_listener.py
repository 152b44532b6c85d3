# SPDX-License-Identifier: MIT
"""A desktop's side of the startup notification, for the tests: listens on the root window of
an X server for the _NET_STARTUP_INFO messages (pieced together per sending window) and for the
_NET_ACTIVE_WINDOW requests, and reads the server's time. Needs python3-xlib."""
import re
import sys

try:
    import Xlib
except ImportError:  # Debian's python3-xlib, for another Python 3 first on the PATH
    sys.path.append("/usr/lib/python3/dist-packages")
from Xlib import X, Xatom
from Xlib import display as xdisplay

from xsession import wait_until


def parse(text):
    """("new", {"ID": ..., ...}) from 'new: ID="..." NAME=...'."""
    kind, _, rest = text.partition(":")
    fields = {}
    for key, quoted, plain in re.findall(r'\s*([A-Z_]+)=(?:"((?:[^"\\]|\\.)*)"|(\S*))', rest):
        fields[key] = re.sub(r"\\(.)", r"\1", quoted) if quoted or not plain else plain
    return kind, fields


class StartupListener:
    def __init__(self, display_name):
        self.d = xdisplay.Display(display_name)
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.PropertyChangeMask | X.SubstructureNotifyMask)
        self.atoms = {name: self.d.intern_atom(name) for name in
                      ("_NET_STARTUP_INFO_BEGIN", "_NET_STARTUP_INFO", "_NET_ACTIVE_WINDOW")}
        self.clock = self.root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                             event_mask=X.PropertyChangeMask)
        self.partial = {}
        self.messages = []      # (kind, fields), in the order they came
        self.activations = []   # (window, source, timestamp)
        self._time = None
        self.d.sync()

    def _take(self):
        while self.d.pending_events():
            ev = self.d.next_event()
            if ev.type == X.PropertyNotify and ev.window == self.clock:
                self._time = ev.time
            if ev.type != X.ClientMessage:
                continue
            fmt, data = ev.data
            if ev.client_type == self.atoms["_NET_ACTIVE_WINDOW"]:
                self.activations.append((ev.window.id, data[0], data[1]))
                continue
            if ev.client_type == self.atoms["_NET_STARTUP_INFO_BEGIN"]:
                self.partial[ev.window.id] = b""
            elif ev.client_type != self.atoms["_NET_STARTUP_INFO"] or ev.window.id not in self.partial:
                continue
            text = self.partial[ev.window.id] + bytes(data)
            if b"\0" in text:
                self.messages.append(parse(text[:text.index(b"\0")].decode()))
                del self.partial[ev.window.id]
            else:
                self.partial[ev.window.id] = text

    def wait_message(self, kind, timeout=10, **fields):
        """The first message of `kind` whose fields include `fields`."""
        def find():
            self._take()
            return next((f for k, f in self.messages if k == kind and
                         all(f.get(key) == value for key, value in fields.items())), None)
        return wait_until(find, timeout, "a %s: message with %r" % (kind, fields))

    def server_time(self):
        """The X server's time now, from a property change on a window of our own."""
        self._time = None
        self.clock.change_property(Xatom.STRING, Xatom.STRING, 8, b"now")
        self.d.flush()
        return wait_until(lambda: self._take() or self._time, 5, "the server's time")
