#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Random picks a filled slot with a map other than the last pick's and makes the mascot show a
new pose each time; it starts no program. With an empty catalogue it says "*SHEESH!*". A click on
the mascot shows its message."""
import os

from launcher_support import answer_box, grab, install_standins
from xsession import MAIN_PLACES, Database, scenario, wait_until

NAMES = {4: "a.map", 17: "b.map", 42: "c.map"}


def mascot(t, win):
    """The mascot's picture as shown on the screen."""
    return grab(t, win, MAIN_PLACES["Wobbin"])


def picks(t, count):
    """Clicks Random `count` times in a fresh run; returns the slot stored at the end."""
    win = t.start()
    shown = mascot(t, win)
    for i in range(count):
        win.activate()
        win.click_control(MAIN_PLACES["Random"])
        if i > 0:  # the first pose may be the start-up picture again
            before = shown
            shown = wait_until(lambda: mascot(t, win) != before and mascot(t, win), 5,
                               "the mascot to change its pose")
        else:
            shown = mascot(t, win)
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    return Database.read(t.folder).selection


@scenario
def random_pick(t):
    install_standins(t)
    Database(slots=NAMES, selection=0).write(t.folder)
    first = picks(t, 1)
    assert first in NAMES, "picked slot %r" % first
    last = picks(t, 5)
    assert last in NAMES, "picked slot %r" % last
    # One unseeded source: every run draws the same numbers.
    assert picks(t, 1) == first
    assert not os.path.exists(os.path.join(t.folder, "standin.log")), "a program started"

    win = t.start()
    win.click_control(MAIN_PLACES["Wobbin"])
    answer_box(t, "This is synonymous with cheeze", "Return")
    win.key("ctrl+q")
    assert t.wait_exit() == 0

    Database(slots={}, selection=7).write(t.folder)
    win = t.start()
    win.click_control(MAIN_PLACES["Random"])
    answer_box(t, "*SHEESH!*", "Return")
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    assert Database.read(t.folder).selection == 7
