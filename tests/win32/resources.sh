#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Both dorvane.exe files carry the program's icon as their first icon group, in all six sizes,
# byte for byte the committed assets/icons/dorvane.ico (wrestool pads the last picture it
# extracts), and version information naming the program and its version: what Explorer shows
# for the file.
set -euo pipefail
windows=$1
ico=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for bits in 64 32; do
  exe=$windows/win$bits/bin/dorvane.exe
  wrestool -x --type=14 --name=1 "$exe" >"$work/icon.ico"
  if ! cmp -s -n "$(stat -c %s "$ico")" "$work/icon.ico" "$ico"; then
    echo "$exe: its icon group 1 is not $ico"
    status=1
  fi
  sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' ')
  [ "$sizes" = "16 32 48 64 128 256 " ] || { echo "$exe: icon sizes '$sizes'"; status=1; }
  # VERSIONINFO strings are UTF-16; read them as text.
  info=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -c '[:print:]' ' ')
  for want in "Dorvane (Duke3d Map Loader)" "OriginalFilename" "dorvane.exe" "ProductVersion" "$version"; do
    grep -qF "$want" <<<"$info" || { echo "$exe: no '$want' in its version information"; status=1; }
  done
  echo "checked $exe"
done
exit $status
