#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The release files (scripts/release.sh): made twice, byte for byte the same; each unpacked and
# its program started: the Linux ones in a virtual X server (the first-run scenario), the Windows
# ones under Wine (tests/win32/release_start.sh). Run after scripts/test.sh, whose builds it takes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
dist=$root/dist
version=$(sed -n 's/^project(dorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/scripts/release.sh" "$dist"
"$root/scripts/release.sh" "$work/again" >/dev/null
cmp -s "$dist/SHA256SUMS" "$work/again/SHA256SUMS" ||
  { diff "$dist/SHA256SUMS" "$work/again/SHA256SUMS"; echo "a second release differs"; exit 1; }
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)

linux=dorvane-$version-linux-x86_64
tar -xzf "$dist/$linux.tar.gz" -C "$work"
for file in dorvane README.md LICENSE THIRD-PARTY.md dorvane.6 dorvane.desktop \
  icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/dorvane.png; do
  [ -f "$work/$linux/$file" ] || { echo "$linux.tar.gz has no $file"; exit 1; }
done
dpkg-deb -x "$dist/dorvane_${version}_amd64.deb" "$work/deb"
for program in "$work/$linux/dorvane" "$work/deb/usr/games/dorvane"; do
  DORVANE=$program python3 "$root/tests/e2e/test_main_session.py"
done
for arch in x64 x86; do
  name=dorvane-$version-windows-$arch
  unzip -q "$dist/$name.zip" -d "$work"
  for file in dorvane.exe README.md LICENSE THIRD-PARTY.md; do
    [ -f "$work/$name/$file" ] || { echo "$name.zip has no $file"; exit 1; }
  done
done
bash "$root/tests/win32/release_start.sh" "$build/windows" "$work" "$version"
echo "release check passed"
