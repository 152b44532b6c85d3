#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Twips follow the screen's density: at 192 dpi the window's area is 1268 x 872 pixels, twice
the 96 dpi size, a slot clicked at its doubled place is chosen, and the captions are drawn
twice as tall (fonts scale too)."""
from xsession import (AREA_SIZE, MAIN_PLACES, Database, Test, XSession, program_path, scenario,
                      slot_place)


def caption_height(shot, win, place):
    """Rows of the control's inside that hold dark (caption) pixels."""
    left, top, width, height = place
    x0, y0 = win.screen_point(left, top)
    x1, y1 = win.screen_point(left + width, top + height)
    rows = [y for y in range(y0 + 4, y1 - 4)
            if any(max(shot.pixel(x, y)) < 100 for x in range(x0 + 4, x1 - 4))]
    return max(rows) - min(rows) + 1 if rows else 0


def quit_caption(t):
    win = t.start()
    height = caption_height(t.x.screenshot(), win, MAIN_PLACES["Quit"])
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    return height


@scenario(dpi=192)
def dense_screen(t):
    Database(selection=0).write(t.folder)
    win = t.start()
    _, _, width, height = t.x.geometry(win.wid)
    assert (width, height - win.menu_height) == (2 * AREA_SIZE[0], 2 * AREA_SIZE[1]), \
        "area %dx%d at 192 dpi" % (width, height - win.menu_height)
    win.click_control(slot_place(42))
    win.key("ctrl+q")
    assert t.wait_exit() == 0
    assert Database.read(t.folder).selection == 42

    dense = quit_caption(t)
    with XSession(dpi=96) as x:
        normal = quit_caption(Test(program_path(), x, t.folder))
    assert normal > 5 and 1.6 <= dense / normal <= 2.4, \
        "caption %d rows at 192 dpi, %d at 96 dpi" % (dense, normal)
