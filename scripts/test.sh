#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test: unit, component, end-to-end
# (in a virtual X server), the Windows builds under Wine, a bounded fuzzing run of the database
# reader, and the Debian package installed and run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
"$root/scripts/install-deps.sh" test

# The main build: GCC Release with warnings as errors, the single-file program, every test
# (the Windows cross builds in Release and the Wine tests among them).
"$root/scripts/build.sh" ci
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

# clang with AddressSanitizer and UBSan: the program, every test but the Windows ones, leaks
# checked, and the database reader's fuzz target.
"$root/scripts/test-sanitized.sh"

# The Debian package: built, checked by lintian, installed, run, removed.
"$root/scripts/test-package.sh"

# The release files: made twice alike from the programs above, unpacked and started.
"$root/scripts/test-release.sh"
