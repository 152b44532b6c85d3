# SPDX-License-Identifier: MIT
"""Alt with the letter after '&' reaches each command button, but not from another window."""
from xsession import PLACES, Database, scenario, slot_place, wait_until


@scenario
def access_keys(t):
    Database(slots={5: "e1l5.map", 9: "e1l9.map"}, selection=9).write(t.folder)
    win = t.start()
    chosen = lambda k: win.pixel(slot_place(k)[0] + 135, slot_place(k)[1] + 150) == (0, 0, 0)
    normal = lambda: win.pixel(PLACES["Setup"][0] + 150, PLACES["Setup"][1] + 150) == (255, 255, 0)
    # Alt+Q and Ctrl+Q in the about box reach neither Quit nor File > Exit.
    win.key("ctrl+a")
    about = t.x.wait_window("About Dorvane")
    t.x.activate(about)
    t.x.key("alt+q", "ctrl+q")
    t.x.click_close_box(about)
    t.x.wait_no_window("About Dorvane")
    assert t.proc.poll() is None, "a key in the about box ended the program"

    win.key("alt+a")
    t.x.click_close_box(t.x.wait_window("Add Map"))
    t.x.wait_no_window("Add Map")
    win.click(slot_place(5))
    win.key("alt+m")  # move mode: Towhere covers the button column
    wait_until(lambda: not normal(), 5, "move mode")
    win.click(PLACES["Towhere"])
    wait_until(lambda: normal() and chosen(0), 5, "normal mode")
    win.click(slot_place(5))
    win.key("alt+c")
    wait_until(lambda: Database.read(t.folder).slots[5] == "", 5, "slot 5 cleared")
    for letter in "dbs":  # the run buttons on the now empty slot each ask for a map first
        win.key("alt+" + letter)
        t.x.answer("Duh!", "Return")
    win.key("alt+r")  # Random picks the one filled slot left
    wait_until(lambda: chosen(9), 5, "the random pick of slot 9")
    t.quit(win)
