#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the files of a release in dist/ (or the folder given):
#   dorvane-<version>-linux-x86_64.tar.gz  the single-file program (FLTK and libjpeg linked in)
#                                          with the README, licences, manual page, desktop
#                                          entry and icons
#   dorvane_<version>_amd64.deb            the Debian package
#   dorvane-<version>-windows-x64.zip      the 64-bit and 32-bit Windows programs, each with
#   dorvane-<version>-windows-x86.zip      the README and the licences
#   SHA256SUMS
# The programs come from the builds scripts/test.sh makes where they are there (build/ when it
# is the single-file program, build/package, build/windows/win64 and win32), brought up to date;
# missing ones are built. The same sources give the same bytes: every time stamp is the last
# commit's (SOURCE_DATE_EPOCH), owners and order are fixed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}
dist=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
export TZ=UTC LC_ALL=C
version=$(sed -n 's/^project(dorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The single-file program: the test command's main build makes it.
if grep -q '^DORVANE_STATIC:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake --build "$build" -j 2 --target dorvane >&2
  linux=$build/platform/fltk/dorvane
else
  "$root/scripts/build.sh" static --target dorvane >&2
  linux=$build/static/platform/fltk/dorvane
fi
for bits in 64 32; do
  dir=$build/windows/win$bits
  [ -f "$dir/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw$bits.cmake" \
      -DCMAKE_BUILD_TYPE=Release >&2
  cmake --build "$dir" -j 2 --target dorvane >&2
done
deb=$("$root/scripts/build-package.sh")

# stage NAME FILE...: a folder NAME of the files given as SOURCE or SOURCE:NAME_IN_FOLDER, with
# the release's time stamp and plain permissions.
stage() {
  local dir=$work/$1 item
  shift
  mkdir -p "$dir"
  for item in "$@"; do
    local source=${item%%:*} name=${item#*:}
    [ "$name" = "$item" ] && name=$(basename "$source")
    mkdir -p "$(dirname "$dir/$name")"
    cp "$source" "$dir/$name"
    if [ -x "$source" ]; then chmod 755 "$dir/$name"; else chmod 644 "$dir/$name"; fi
  done
  find "$dir" -type d -exec chmod 755 {} +
  find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

documents=("$root/README.md" "$root/LICENSE" "$root/THIRD-PARTY.md")
linux_name=dorvane-$version-linux-x86_64
icons=()
for size in 16 32 48 64 128 256; do
  icons+=("$root/assets/icons/dorvane-$size.png:icons/hicolor/${size}x$size/apps/dorvane.png")
done
stage "$linux_name" "$linux" "${documents[@]}" "$root/packaging/dorvane.6" \
  "$root/packaging/dorvane.desktop" "${icons[@]}"
rm -f "$dist"/dorvane[-_]*
tar -C "$work" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
  --format=gnu -cf - "$linux_name" | gzip -9n >"$dist/$linux_name.tar.gz"

for arch in x64:64 x86:32; do
  name=dorvane-$version-windows-${arch%%:*}
  stage "$name" "$build/windows/win${arch#*:}/bin/dorvane.exe" "${documents[@]}"
  (cd "$work" && find "$name" | sort | zip -X -q -9 "$dist/$name.zip" -@)
done
cp "$deb" "$dist/"
(cd "$dist" && sha256sum dorvane[-_]* >SHA256SUMS)
ls -l "$dist" | awk 'NR > 1 {print $5, $9}'
