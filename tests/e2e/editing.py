# SPDX-License-Identifier: MIT
"""Helpers for the scenarios of the catalogue editing commands: waiting for the database file
to reach a state, and the map file picker "Add Map" (opening it from the main window, finding
the highlighted row of its file list on the screen, clicking rows and Ok)."""
from xsession import MAIN_PLACES, Database, Window, wait_until

PICKER_TITLE = "Add Map"
MAP_FILES = (120, 120, 3375, 2820)
DONE = (120, 3000, 3375, 615)
LIST_BACK = (255, 255, 255)


def wait_file(t, check, what, timeout=5):
    """Waits until the database file reads back whole and check(database) holds; returns it."""
    def ok():
        try:
            return check(Database.read(t.folder))
        except (OSError, AssertionError):
            return False
    wait_until(ok, timeout, what)
    return Database.read(t.folder)


class Picker(Window):
    """The picker window, addressed in twips of its area."""

    def column(self, image):
        """Screen x of a column near the list's right edge, clear of short names, and the screen
        rows inside the list's border."""
        left, top, width, height = MAP_FILES
        x, y0 = self.screen_point(left + width - 180, top)
        _, y1 = self.screen_point(left, top + height)
        return x, range(y0 + 3, y1 - 3)

    def highlighted_rows(self):
        """The screen rows of the list that show the selection's highlight (none: empty)."""
        image = self.x.screenshot()
        x, rows = self.column(image)
        return [y for y in rows if image.pixel(x, y) != LIST_BACK]

    def wait_painted(self, timeout=10):
        def list_shown():
            image = self.x.screenshot()
            x, rows = self.column(image)
            return image.pixel(x, rows[-1]) == LIST_BACK
        wait_until(list_shown, timeout, "the picker's file list on the screen")

    def wait_highlight(self, what, timeout=5):
        return wait_until(self.highlighted_rows, timeout, what)

    def row_height(self):
        """Selects the first row with a click and measures its highlight."""
        left, top, _, _ = MAP_FILES
        x, y = self.screen_point(left + 300, top)
        self.x.click(x, y + 5)
        rows = self.wait_highlight("the first row's highlight")
        assert rows[0] - y <= 6, "the highlight starts at %d, the list at %d" % (rows[0], y)
        return rows[-1] - rows[0] + 1, rows[0]

    def list_top(self):
        """Screen row of the list's top edge."""
        return self.screen_point(*MAP_FILES[:2])[1]

    def click_row(self, index, repeat=1):
        """Clicks row `index` (from 0); returns the clicked point's offset below the list's top."""
        height, first = self.row_height()
        x, _ = self.screen_point(MAP_FILES[0] + 300, 0)
        y = first + height * index + height // 2
        offset = y - self.list_top()  # a click may hide the picker
        if index == 0 and repeat == 1:
            return offset  # the measuring click chose it; a second one now would be a double-click
        self.x.click(x, y, repeat=repeat)
        return offset

    def press_ok(self):
        self.click_control(DONE)


def open_picker(t, main, move_to=(760, 60)):
    """Presses Add Map in the main window and returns the picker once it is on the screen,
    moved clear of the main window so that both can be clicked."""
    main.click_control(MAIN_PLACES["Addmap"])
    wid = t.x.wait_window(PICKER_TITLE)
    if move_to:
        t.x.run_tool(["xdotool", "windowmove", "--sync", str(wid)] + [str(v) for v in move_to])
        wait_until(lambda: abs(t.x.geometry(wid)[0] - move_to[0]) < 40, 5, "the picker to move")
    picker = Picker(t.x, wid)
    picker.wait_painted()
    return picker
