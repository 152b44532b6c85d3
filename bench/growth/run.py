#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Save, real-name lookup and map file picker against the size of the game folder, in one
command: starts its own Xvfb (96 dpi, no window manager) and runs bench_growth in it, which
makes folders of 100, 10,000 and 100,000 files under $TMPDIR (or /tmp) and prints a table.

Usage: run.py BUILD_DIR [RUNS] [SIZES...]
"""
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "e2e"))
from xsession import XSession  # noqa: E402


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    program = os.path.join(build, "bench", "growth", "bench_growth")
    with XSession(window_manager=False) as session:
        r = subprocess.run([program] + sys.argv[2:], env=session.env, timeout=1800)
    sys.exit(r.returncode)


if __name__ == "__main__":
    main()
