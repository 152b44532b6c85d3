#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs a program in an X server of its own (Xvfb at 96 dpi with openbox, see xsession.py)
and exits with its exit status. For tests of the FLTK backend that need a real display.

Usage: run_in_x.py PROGRAM [ARGS...]
"""
import subprocess
import sys

from xsession import XSession

if __name__ == "__main__":
    with XSession() as x:
        status = subprocess.run(sys.argv[1:], env=x.env, timeout=600).returncode
    sys.exit(status)
