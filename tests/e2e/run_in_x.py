#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""run_in_x.py PROGRAM [ARGS...]: runs the program in an X server of its own (Xvfb at 96 dpi with
openbox, see xsession.py) and exits with its exit status."""
import subprocess
import sys

from xsession import XSession

with XSession() as x:
    status = subprocess.run(sys.argv[1:], env=x.env, timeout=600).returncode
sys.exit(status)
