#!/usr/bin/env bash
# Cross-builds dorvane.exe for 64-bit and 32-bit Windows with mingw-w64, statically linked:
#   <folder>/win64/bin/dorvane.exe and <folder>/win32/bin/dorvane.exe
# Each also makes its tests, the stand-in for the game's programs and the probe that the Wine
# scenarios use. <folder> defaults to build/windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-${DORVANE_BUILD:-$root/build}/windows}

for bits in 64 32; do
  dir=$out/win$bits
  # A folder configured before both builds made their tests is configured again.
  if ! grep -qx 'DORVANE_TESTS:BOOL=ON' "$dir/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw$bits.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDORVANE_TESTS=ON >/dev/null
  fi
  cmake --build "$dir" -j 2
  echo "built $dir/bin/dorvane.exe"
done
