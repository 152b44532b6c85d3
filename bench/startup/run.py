#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Start-up of the program against a bare FLTK window of the same make and a raw Xlib window of
the same drawing, paired in one run.

Starts its own Xvfb (96 dpi, no window manager, so that nothing but the programs is measured),
prepares a game folder with a full 68-map catalogue, and runs the three programs in turns (the
order rotates every round) under bench_first_paint, which times exec to the first completed
paint from outside (the Setup button's yellow face appearing; all three windows have it at the
same place) and reports peak memory. The ratios are taken round by round, each against the
yardstick's run next to it, so that a load that comes and goes shifts both sides of a ratio.

With --callgrind, each program also runs once under callgrind to its first paint and reports the
instructions it executed: a count that no other load on the machine changes. --also NAME=PATH
adds another build of the program to the same rounds (for instance the program as it was before
a change), reported against the same yardsticks.

The product binary has no switch for any of this.

Usage: run.py BUILD_DIR [RUNS] [--callgrind] [--also NAME=PATH ...]
"""
import glob
import os
import re
import statistics
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "e2e"))
from xsession import Database, XSession  # noqa: E402

SETUP_FACE = (514, 22 + 66)  # pixels in the window: inside "Run In &Setup"
YELLOW = "ffff00"
PROGRAM = "dorvane"
YARDSTICKS = ("bare FLTK window", "raw Xlib window")


def measure(session, watcher, command, folder, timeout_ms=10000):
    r = subprocess.run([watcher, str(SETUP_FACE[0]), str(SETUP_FACE[1]), YELLOW,
                        str(timeout_ms), "--"] + command, cwd=folder, env=session.env,
                       capture_output=True, text=True, timeout=timeout_ms / 1000 + 60)
    if r.returncode != 0:
        raise RuntimeError("%s: %s" % (command[0], r.stderr.strip()))
    values = dict(item.split("=") for item in r.stdout.split())
    return float(values["first_paint_ms"]), int(values["peak_rss_kib"])


def instructions(session, watcher, path, folder):
    """Instructions the program executes from exec to its first paint, under callgrind."""
    out = os.path.join(folder, "callgrind.out.bench")
    # Without its debug information: this valgrind cannot read every DWARF 5 that clang writes.
    stripped = os.path.join(folder, "stripped-" + os.path.basename(path))
    subprocess.run(["strip", "--strip-debug", "-o", stripped, path], check=True)
    measure(session, watcher, ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out,
                               stripped], folder, timeout_ms=60000)
    os.remove(stripped)
    with open(out) as f:
        text = f.read()
    os.remove(out)
    found = re.search(r"^(?:summary|totals): (\d+)", text, re.M)
    return int(found.group(1)) if found else None


def spread(values):
    return "min %6.2f  median %6.2f  max %6.2f" % (min(values), statistics.median(values),
                                                  max(values))


def main():
    args, also = [], {}
    rest = sys.argv[1:]
    while rest:
        a = rest.pop(0)
        if a == "--also" and rest:
            name, _, path = rest.pop(0).partition("=")
            also[name] = os.path.abspath(path)
        elif not a.startswith("--"):
            args.append(a)
    callgrind = "--callgrind" in sys.argv
    build = os.path.abspath(args[0] if args else "build")
    runs = int(args[1]) if len(args) > 1 else 30
    programs = {
        PROGRAM: os.path.join(build, "platform", "fltk", "dorvane"),
        YARDSTICKS[0]: os.path.join(build, "bench", "startup", "bench_bare_window"),
        YARDSTICKS[1]: os.path.join(build, "bench", "startup", "bench_xlib_window"),
    }
    programs.update(also)
    watcher = os.path.join(build, "bench", "startup", "bench_first_paint")
    folder = tempfile.mkdtemp(prefix="dorvane-startup-")
    names = ["map%02d.map" % k for k in range(68)]
    for name in names:
        open(os.path.join(folder, name), "w").close()
    Database(slots=dict(enumerate(names)), selection=12).write(folder)

    results = {name: [] for name in programs}
    counts = {}
    with XSession(window_manager=False) as session:
        for name, path in programs.items():  # one unmeasured run each: caches warm
            measure(session, watcher, [path], folder)
        order = list(programs.items())
        for i in range(runs):
            turn = order[i % len(order):] + order[:i % len(order)]
            if (i // len(order)) % 2:
                turn.reverse()
            for name, path in turn:
                results[name].append(measure(session, watcher, [path], folder))
        if callgrind:
            counts = {name: instructions(session, watcher, path, folder)
                      for name, path in programs.items()}
        paint = subprocess.run([os.path.join(build, "bench", "startup", "bench_paint_time")],
                               cwd=folder, env=session.env, capture_output=True, text=True,
                               timeout=120)

    print("exec to first completed paint, %d paired runs, Xvfb 96 dpi, no window manager" % runs)
    for name, values in results.items():
        times = [t for t, _ in values]
        rss = [m / 1024.0 for _, m in values]
        print("  %-17s ms: %s   peak RSS median %5.1f MiB" % (name, spread(times),
                                                            statistics.median(rss)))
    for program in [PROGRAM] + list(also):
        ours = results[program]
        for name in YARDSTICKS:
            theirs = results[name]
            time_ratio = [a[0] / b[0] for a, b in zip(ours, theirs)]
            memory_ratio = [a[1] / b[1] for a, b in zip(ours, theirs)]
            print("  %s / %-17s time: %s   peak memory: %s" % (
                program, name, spread(time_ratio), spread(memory_ratio)))
    if counts:
        print("instructions from exec to first paint (callgrind, one run each):")
        for name, count in counts.items():
            print("  %-17s %12s" % (name, "{:,}".format(count) if count else "unknown"))
        for program in [PROGRAM] + list(also):
            for name in YARDSTICKS:
                if counts[program] and counts[name]:
                    print("  %s / %-17s %.2f" % (program, name, counts[program] / counts[name]))
    print(paint.stdout.rstrip() or paint.stderr.rstrip())
    for name in glob.glob(os.path.join(folder, "*")):
        os.remove(name)
    os.rmdir(folder)


if __name__ == "__main__":
    main()
