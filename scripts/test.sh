#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test: unit, component, end-to-end
# (in a virtual X server), the Windows builds under Wine, a bounded fuzzing run of the database
# reader, and the Debian package installed and run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
"$root/scripts/install-deps.sh" test

# The main build: GCC Release, warnings as errors, the single-file program and every test.
"$root/scripts/build.sh" ci
# Meanwhile the sanitizer and package builds are made at the lowest priority, from what the
# tests leave of the cores, for the steps below. Job control gives them a process group to stop;
# a new session would get a scheduling group of its own, beside which that priority is void.
set -m
nice -n 19 bash -c '"$0"/build.sh ci-asan && "$0"/build-package.sh' "$root/scripts" \
  >"$build/ahead.log" 2>&1 &
ahead=$!
set +m
trap 'kill -- -$ahead 2>/dev/null || true' EXIT
# The Windows cross builds first, so that the Wine tests (one at a time) have the X tests beside.
"$root/scripts/build-windows.sh" "$build/windows" -DDORVANE_WARNINGS_AS_ERRORS=ON
(cd "$build" && ctest --output-on-failure -j "$(nproc)")
wait $ahead || { tail -40 "$build/ahead.log"; echo "the sanitizer or package build failed"; exit 1; }
trap - EXIT

# clang with ASan and UBSan: every test but the Windows ones, leaks checked, and the fuzz target.
"$root/scripts/test-sanitized.sh"

# The Debian package: built, checked by lintian, installed, run, removed.
"$root/scripts/test-package.sh"

# The release files: made twice alike from the programs above, unpacked and started.
"$root/scripts/test-release.sh"
