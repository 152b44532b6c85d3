#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds Dorvane with one of the presets of CMakePresets.json (default: ci, GCC
# Release with the tests and warnings as errors, in build/). Other presets build in
# build/<name> (ci-clang in build/clang, ci-asan in build/asan). $DORVANE_BUILD moves build/
# elsewhere; further arguments go to the build step (for instance --target dorvane).
#   build.sh [PRESET] [BUILD ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-ci}
shift || true
build=${DORVANE_BUILD:-$root/build}
case "$preset" in
  ci) dir=$build ;;
  ci-clang) dir=$build/clang ;;
  ci-asan) dir=$build/asan ;;
  *) dir=$build/$preset ;;
esac
(cd "$root" && cmake --preset "$preset" -B "$dir" >/dev/null)
cmake --build "$dir" -j 2 "$@"
