#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts the launcher in a demo game folder.
#
# The folder ($DORVANE_BUILD/demo, build/demo by default) gets a few map files, a catalogue that
# lists them, and the stand-in programs duke3d.exe, build.exe and setup.exe when they are built.
# A catalogue already there is kept, with whatever the user changed in it.
#
# Without a usable display the demo runs in a virtual X server instead: the script says so,
# saves a screenshot of the window as a PNG and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" build
build=${DORVANE_BUILD:-$root/build}
# A plain configure (no tests, so no GoogleTest), or the build already there, for the program
# and the stand-in of the game's programs only.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j 2 --target dorvane dorvane_standin
program=$build/platform/fltk/dorvane
demo=$build/demo
mkdir -p "$demo"

maps=(e1l1.map e1l2.map e1l3.map E2L1.MAP e3l5.map dukedm1.map castle.map)
for map in "${maps[@]}"; do
  [ -e "$demo/$map" ] || printf 'demo map\n' >"$demo/$map"
done
standin=$build/tools/standin/dorvane_standin
if [ -x "$standin" ]; then
  for exe in duke3d.exe build.exe setup.exe; do
    cp -f "$standin" "$demo/$exe"
  done
fi
if [ ! -e "$demo/Qimdat.dat" ]; then
  PYTHONPATH=$root/tests/e2e python3 - "$demo" <<'PY'
import sys
from xsession import Database
names = ["e1l1.map", "e1l2.map", "e1l3.map", "e2l1.map", "e3l5.map", "dukedm1.map"]
Database(slots=dict(enumerate(names)), selection=1).write(sys.argv[1])
PY
fi

if [ -n "${DISPLAY:-}" ] && xprop -root >/dev/null 2>&1; then
  echo "Starting Dorvane in $demo"
  cd "$demo"
  exec "$program"
fi

echo "No usable display (DISPLAY='${DISPLAY:-}'): running the demo in a virtual X server."
shot=$build/demo-screenshot.png
PYTHONPATH=$root/tests/e2e python3 - "$program" "$demo" "$shot" <<'PY'
import sys
from xsession import Test, XSession

program, demo, shot = sys.argv[1:]
with XSession() as x:
    t = Test(program, x, demo)
    win = t.start()  # returns once the window is painted
    left, right, top, bottom = x.frame_extents(win.wid)
    wx, wy, w, h = x.geometry(win.wid)
    x.run_tool(["import", "-silent", "-window", "root", "-crop",
                "%dx%d+%d+%d" % (w + left + right, h + top + bottom, wx - left, wy - top),
                "+repage", shot])
    win.key("ctrl+q")
    t.wait_exit()
print("Screenshot of the window:", shot)
PY
