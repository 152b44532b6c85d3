#!/usr/bin/env bash
# Configures and builds Dorvane in build/ with clang (which the fuzz target needs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDORVANE_WARNINGS_AS_ERRORS=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
