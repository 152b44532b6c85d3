#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit, component, end-to-end
# (in a virtual X server) and a bounded fuzzing run of the database reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${DORVANE_BUILD:-$root/build}
cd "$build"
ctest --output-on-failure -j "$(nproc)"
# The same tests (but the Windows ones) built with AddressSanitizer and UBSan, leaks checked.
"$root/scripts/test-sanitized.sh"
