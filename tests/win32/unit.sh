#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the 64-bit Windows build's own tests (the core's unit tests and the Win32 file services)
# under Wine; the toolchain names Wine as their emulator.
source "$(dirname "$0")/wine.sh"
# Wine's services must be up before two test programs start at once, or the first may hang.
start_wine_desktop
ctest --test-dir "$windows/win64" --output-on-failure -j 2
