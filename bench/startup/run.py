#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Start-up of the program against a bare FLTK window of the same make, in one run.

Starts its own Xvfb (96 dpi, no window manager, so that nothing but the two programs is
measured), prepares a game folder with a full 68-map catalogue, and runs both programs in
turns under bench_first_paint, which times exec to the first completed paint from outside
(the Setup button's yellow face appearing; both windows have it at the same place) and
reports peak memory. The product binary has no switch for this.

Usage: run.py BUILD_DIR [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "e2e"))
from xsession import Database, XSession  # noqa: E402

SETUP_FACE = (514, 22 + 66)  # pixels in the window: inside "Run In &Setup"
YELLOW = "ffff00"


def measure(session, watcher, program, folder):
    r = subprocess.run([watcher, str(SETUP_FACE[0]), str(SETUP_FACE[1]), YELLOW, "10000", "--",
                        program], cwd=folder, env=session.env, capture_output=True, text=True,
                       timeout=60)
    if r.returncode != 0:
        raise RuntimeError("%s: %s" % (program, r.stderr.strip()))
    values = dict(item.split("=") for item in r.stdout.split())
    return float(values["first_paint_ms"]), int(values["peak_rss_kib"])


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    programs = {
        "dorvane": os.path.join(build, "platform", "fltk", "dorvane"),
        "bare FLTK window": os.path.join(build, "bench", "startup", "bench_bare_window"),
    }
    watcher = os.path.join(build, "bench", "startup", "bench_first_paint")
    folder = tempfile.mkdtemp(prefix="dorvane-startup-")
    names = ["map%02d.map" % k for k in range(68)]
    for name in names:
        open(os.path.join(folder, name), "w").close()
    Database(slots=dict(enumerate(names)), selection=12).write(folder)

    results = {name: [] for name in programs}
    with XSession(window_manager=False) as session:
        for name, path in programs.items():  # one unmeasured run each: caches warm
            measure(session, watcher, path, folder)
        for i in range(runs):
            order = list(programs.items())
            if i % 2:
                order.reverse()
            for name, path in order:
                results[name].append(measure(session, watcher, path, folder))
        paint = subprocess.run([os.path.join(build, "bench", "startup", "bench_paint_time")],
                               cwd=folder, env=session.env, capture_output=True, text=True,
                               timeout=120)

    print("exec to first completed paint, %d runs each, Xvfb 96 dpi, no window manager" % runs)
    summary = {}
    for name, values in results.items():
        times = [t for t, _ in values]
        rss = [m for _, m in values]
        summary[name] = (statistics.median(times), statistics.median(rss))
        print("  %-17s median %6.2f ms  min %6.2f ms  max %6.2f ms  peak RSS %6.1f MiB" % (
            name, statistics.median(times), min(times), max(times),
            statistics.median(rss) / 1024.0))
    (dt, dm), (bt, bm) = summary["dorvane"], summary["bare FLTK window"]
    print("  ratio dorvane / bare: time %.2f, peak memory %.2f" % (dt / bt, dm / bm))
    print(paint.stdout.rstrip() or paint.stderr.rstrip())
    if os.path.exists(os.path.join(folder, "Qimdat.dat")):
        for name in os.listdir(folder):
            os.remove(os.path.join(folder, name))
        os.rmdir(folder)


if __name__ == "__main__":
    main()
