#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The committed icons are what tools/icon/make_icon.py draws now: a stale or hand-edited icon
fails here, not on a user's desktop. Their sizes are checked where they are used: the window's
icons by the look scenario, the desktop's by the install check (tests/packaging)."""
import os
import subprocess
import sys
import tempfile

root = sys.argv[1]
committed = os.path.join(root, "assets", "icons")
failures = []
with tempfile.TemporaryDirectory() as fresh:
    subprocess.run([sys.executable, os.path.join(root, "tools", "icon", "make_icon.py"), fresh],
                   check=True)
    names = sorted(os.listdir(fresh))
    if names != sorted(os.listdir(committed)):
        failures.append("assets/icons holds %s, the generator writes %s"
                        % (sorted(os.listdir(committed)), names))
    for name in names:
        with open(os.path.join(fresh, name), "rb") as a, open(os.path.join(committed, name),
                                                               "rb") as b:
            if a.read() != b.read():
                failures.append("assets/icons/%s differs from what make_icon.py draws" % name)

for failure in failures:
    print(failure)
if failures:
    print("run: python3 tools/icon/make_icon.py assets/icons")
sys.exit(1 if failures else 0)
