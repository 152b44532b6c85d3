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
# Meanwhile the sanitizer and package builds below are made at the lowest priority: they take
# only what the tests leave of the cores (the Wine tests run one at a time, which leaves one
# free for minutes) and slow no test. Their steps below then find them built.
# Its own process group (job control) to be stopped with, in this session: a new session would
# get a scheduling group of its own, beside which the lowest priority counts for nothing.
set -m
nice -n 19 bash -c '"$0"/build.sh ci-asan && "$0"/build-package.sh' "$root/scripts" \
  >"$build/ahead.log" 2>&1 &
ahead=$!
set +m
trap 'kill -- -$ahead 2>/dev/null || true' EXIT
# The Windows cross builds before the tests (their CTest test then finds them built), so that
# the Wine tests, which run one at a time, have the X tests beside them on the other core.
"$root/scripts/build-windows.sh" "$build/windows" -DDORVANE_WARNINGS_AS_ERRORS=ON
(cd "$build" && ctest --output-on-failure -j "$(nproc)")
wait $ahead || { tail -40 "$build/ahead.log"; echo "the sanitizer or package build failed"; exit 1; }
trap - EXIT

# clang with AddressSanitizer and UBSan: the program, every test but the Windows ones, leaks
# checked, and the database reader's fuzz target.
"$root/scripts/test-sanitized.sh"

# The Debian package: built, checked by lintian, installed, run, removed.
"$root/scripts/test-package.sh"

# The release files: made twice alike from the programs above, unpacked and started.
"$root/scripts/test-release.sh"
