#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds dorvane.exe for 64-bit and 32-bit Windows with mingw-w64, statically linked, in
# Release: <folder>/win64/bin/dorvane.exe and <folder>/win32/bin/dorvane.exe
# Each also makes its tests, the stand-in for the game's programs and the probe that the Wine
# scenarios use. <folder> defaults to build/windows; further arguments go to CMake's configure
# step (for instance -DDORVANE_WARNINGS_AS_ERRORS=ON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-${DORVANE_BUILD:-$root/build}/windows}
shift || true

for bits in 64 32; do
  dir=$out/win$bits
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw$bits.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "$@" >/dev/null
  cmake --build "$dir" -j 2
  echo "built $dir/bin/dorvane.exe"
done
