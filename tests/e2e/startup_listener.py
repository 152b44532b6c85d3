# SPDX-License-Identifier: MIT
"""The desktop's side of the startup notification and activations, and the server's time."""
import re
import sys

try:
    import Xlib  # noqa: F401
except ImportError:  # Debian's python3-xlib, for another Python 3 first on the PATH
    sys.path.append("/usr/lib/python3/dist-packages")
from Xlib import X, Xatom, display

from xsession import wait_until

FIELD = re.compile(r'([A-Z_]+)=(?:"((?:[^"\\]|\\.)*)"|(\S*))')  # KEY="quoted" or KEY=plain


class StartupListener:
    def __init__(self, display_name):
        self.d = display.Display(display_name)
        root = self.d.screen().root
        root.change_attributes(event_mask=X.PropertyChangeMask | X.SubstructureNotifyMask)
        self.begin, self.more, self.active = (self.d.intern_atom(name) for name in (
            "_NET_STARTUP_INFO_BEGIN", "_NET_STARTUP_INFO", "_NET_ACTIVE_WINDOW"))
        self.clock = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                        event_mask=X.PropertyChangeMask)
        self.partial, self.time = {}, None
        self.messages, self.activations = [], []  # (kind, {field: value}); (window, source, time)
        self.d.sync()

    def _take(self):
        while self.d.pending_events():
            ev = self.d.next_event()
            if ev.type == X.PropertyNotify and ev.window == self.clock:
                self.time = ev.time
            elif ev.type == X.ClientMessage and ev.client_type == self.active:
                self.activations.append((ev.window.id,) + tuple(ev.data[1][:2]))
            elif ev.type == X.ClientMessage and ev.client_type in (self.begin, self.more):
                sender = ev.window.id
                if ev.client_type == self.more and sender not in self.partial:
                    continue
                text = self.partial.pop(sender, b"") * (ev.client_type == self.more)
                text, ends, _ = (text + bytes(ev.data[1])).partition(b"\0")
                if not ends:  # more to come
                    self.partial[sender] = text
                    continue
                kind, _, rest = text.decode().partition(":")
                self.messages.append((kind, {key: re.sub(r"\\(.)", r"\1", quoted) or plain
                                             for key, quoted, plain in FIELD.findall(rest)}))

    def wait_message(self, kind, timeout=10, **fields):
        def find():
            self._take()
            return next((f for k, f in self.messages if k == kind and
                         all(f.get(key) == value for key, value in fields.items())), None)
        return wait_until(find, timeout, "a %s: message with %r" % (kind, fields))

    def server_time(self):  # from a property change on a window of our own
        self.time = None
        self.clock.change_property(Xatom.STRING, Xatom.STRING, 8, b"now")
        self.d.flush()
        return wait_until(lambda: self._take() or self.time, 5, "the server's time")
