#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Start-up of the Windows program under Wine against a bare Win32 window of the same make,
both builds (64-bit and 32-bit), paired round by round.

Makes (once) the private prefix the Wine scenarios use, in WINDOWS_DIR/wine, starts its own
Xvfb, keeps one wineserver running through every run (warm: its start is not measured), prepares
a game folder with a full 68-map catalogue, and in every round runs the bare window and the
program of each build in turns (the order rotates every round) under bench_first_paint, which
times CreateProcess to the first visible window ("listed") and to the Setup button's yellow face
appearing in it, with the processor time the program had used by then, and reports the peak working set then and half a second later (the program
has decoded its mascot by then: "settled"). The ratios are taken round by round, each
against the bare window's run next to it, so that a load that comes and goes shifts both sides;
the ratio of each side's fastest quarter of runs follows, which a heavy load moves less.

--also NAME=PATH adds another dorvane.exe (for instance the program as it was before a change)
to the rounds of the build of its own bitness, reported against the same bare window.

Usage: run.py WINDOWS_DIR [RUNS] [--also NAME=PATH ...]
WINDOWS_DIR holds win64/ and win32/, as scripts/build.sh win64 and win32 make them (build/) with
the presets, which build the benchmarks.
"""
import os
import statistics
import struct
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.join(here, "..", "..")
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
from xsession import Database, XSession  # noqa: E402

SETUP_FACE = (514, 66)  # client-area pixels inside "Run In &Setup", in both windows
YELLOW = "ffff00"
SETTLE_MS = 500
PROGRAM = "dorvane"
BARE = "bare window"


def bits_of(exe):
    with open(exe, "rb") as f:
        head = f.read(4096)
    pe = struct.unpack_from("<I", head, 0x3C)[0]
    return 64 if struct.unpack_from("<H", head, pe + 4)[0] == 0x8664 else 32


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def measure(env, watcher, exe, folder, timeout_ms=20000):
    r = subprocess.run(["wine", watcher, str(SETUP_FACE[0]), str(SETUP_FACE[1]), YELLOW,
                        str(timeout_ms), str(SETTLE_MS), windows_path(exe)], cwd=folder, env=env,
                       capture_output=True, text=True, timeout=timeout_ms / 1000 + 60)
    if r.returncode != 0:
        raise RuntimeError("%s: %s" % (exe, r.stderr.strip()))
    values = dict(item.split("=") for item in r.stdout.split())
    return (float(values["listed_ms"]), float(values["first_paint_ms"]),
            int(values["peak_kib"]), int(values["settled_peak_kib"]), float(values["cpu_ms"]))


def spread(values):
    return "min %5.2f  median %5.2f  max %5.2f" % (min(values), statistics.median(values),
                                                 max(values))


def quarter(values):
    return sorted(values)[len(values) // 4]


def load():
    return "load average %.2f %.2f %.2f" % os.getloadavg()


def main():
    args, also = [], []
    rest = sys.argv[1:]
    while rest:
        a = rest.pop(0)
        if a == "--also" and rest:
            name, _, path = rest.pop(0).partition("=")
            also.append((name, os.path.abspath(path)))
        elif not a.startswith("--"):
            args.append(a)
    windows = os.path.abspath(args[0] if args else "build")
    runs = int(args[1]) if len(args) > 1 else 20
    builds = {}
    for bits in (64, 32):
        build = os.path.join(windows, "win%d" % bits)
        programs = {BARE: os.path.join(build, "bench", "bench_bare_window.exe"),
                    PROGRAM: os.path.join(build, "bin", "dorvane.exe")}
        if not all(os.path.exists(p) for p in programs.values()):
            print("win%d: not built with its benchmarks, left out" % bits)
            continue
        programs.update((name, path) for name, path in also if bits_of(path) == bits)
        builds[bits] = (os.path.join(build, "bench", "bench_first_paint.exe"), programs)
    if not builds:
        sys.exit("no Windows build with its benchmarks under %s" % windows)

    subprocess.run(["bash", os.path.join(root, "tests", "win32", "prefix.sh"), windows],
                   check=True)
    folder = tempfile.mkdtemp(prefix="dorvane-winstartup-")
    names = ["map%02d.map" % k for k in range(68)]
    for name in names:
        open(os.path.join(folder, name), "w").close()
    Database(slots=dict(enumerate(names)), selection=12).write(folder)

    results = {bits: {name: [] for name in programs} for bits, (_, programs) in builds.items()}
    before = load()
    with XSession(window_manager=False) as session:
        env = dict(session.env, WINEPREFIX=os.path.join(windows, "wine"), WINEARCH="win64",
                   WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run(["wineserver", "-p"], env=env, check=True)  # stays until -k below
        try:
            # Wine's services keep whatever output they were given: none.
            subprocess.run(["wine", "wineboot"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=True)
            for bits, (watcher, programs) in builds.items():  # one unmeasured run each
                for path in programs.values():
                    measure(env, watcher, path, folder)
            for i in range(runs):
                for bits, (watcher, programs) in builds.items():
                    # Each program takes each place in the round in turn; with --also, flipping
                    # the order would keep one program between the two others in every round.
                    turn = list(programs.items())
                    turn = turn[i % len(turn):] + turn[:i % len(turn)]
                    for name, path in turn:
                        results[bits][name].append(measure(env, watcher, path, folder))
        finally:
            subprocess.run(["wineserver", "-k"], env=env)
            subprocess.run(["wineserver", "-w"], env=env, timeout=30)
    after = load()

    print("CreateProcess to the first visible window and to its first completed paint, %d "
          "paired runs, Wine, warm wineserver, one prefix" % runs)
    print("  before: %s; after: %s" % (before, after))
    for bits, values in results.items():
        print("win%d:" % bits)
        for name, runs_of in values.items():
            print("  %-16s listed ms median %6.1f  first paint ms: %s" % (
                name, statistics.median(r[0] for r in runs_of), spread([r[1] for r in runs_of])))
            print("  %-16s processor ms median %5.1f, peak median %5.1f MiB, settled %5.1f MiB" % (
                "", statistics.median(r[4] for r in runs_of),
                statistics.median(r[2] for r in runs_of) / 1024.0,
                statistics.median(r[3] for r in runs_of) / 1024.0))
        theirs = values[BARE]
        for name, ours in values.items():
            if name == BARE:
                continue
            ratio = lambda k: [a[k] / b[k] for a, b in zip(ours, theirs)]  # noqa: E731
            print("  %s / %s  first paint: %s" % (name, BARE, spread(ratio(1))))
            print("  %s / %s  listed:      %s" % (name, BARE, spread(ratio(0))))
            print("  %s / %s  processor:   %s" % (name, BARE, spread(ratio(4))))
            print("  %s / %s  peak memory: %s" % (name, BARE, spread(ratio(2))))
            print("  %s / %s  settled:     %s" % (name, BARE, spread(ratio(3))))
            # A busy machine slows some runs a lot and none below what the program costs: the
            # fastest quarter of each side's runs is the steadier comparison then.
            def fast(k, ours=ours):
                return quarter([r[k] for r in ours]) / quarter([r[k] for r in theirs])
            print("  %s / %s  fastest quarter: first paint %.2f, listed %.2f, processor %.2f" % (
                name, BARE, fast(1), fast(0), fast(4)))
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    os.rmdir(folder)


if __name__ == "__main__":
    main()
