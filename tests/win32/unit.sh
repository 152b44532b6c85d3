#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one Windows build's own tests (the core's unit tests, the Win32 file services and the
# backend on real windows) under Wine; the toolchains name Wine as their emulator.
source "$(dirname "$0")/wine.sh"
# Wine's services must be up before two test programs start at once, or the first may hang.
start_wine_desktop
ctest --test-dir "$windows/win$bits" --output-on-failure --no-tests=error -j 2
