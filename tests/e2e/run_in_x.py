#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""run_in_x.py PROGRAM [ARGS...]: the program in an X session of its own, exiting as it does."""
import subprocess
import sys

from xsession import XSession

with XSession() as x:
    status = subprocess.run(sys.argv[1:], env=x.env, timeout=600).returncode
sys.exit(status)
