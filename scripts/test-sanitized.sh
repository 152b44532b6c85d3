#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program, its tests and the database fuzz target with ASan and UBSan (clang, preset
# ci-asan) in build/asan and runs every test with leaks checked but the Windows ones (no sanitizer
# builds) and the real engines (run in the main build). Undefined behaviour ends a test at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
"$root/scripts/build.sh" ci-asan
supp=$root/tests/sanitizers
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp
cd "$build/asan"
ctest --output-on-failure -j "$(nproc)" -LE 'win32|engines'
