#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` of a build puts exactly the expected files under the prefix, and the desktop
# entry, the AppStream metadata and the manual page pass their own checkers.
#   install_tree.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

expected="usr/bin/dorvane
usr/share/applications/dorvane.desktop
usr/share/doc/dorvane/LICENSE
usr/share/doc/dorvane/README.md
usr/share/doc/dorvane/THIRD-PARTY.md
usr/share/doc/dorvane/changelog.gz
usr/share/doc/dorvane/copyright"
for size in 128 16 256 32 48 64; do
  expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/dorvane.png"
done
expected+=$'\n'"usr/share/man/man6/dorvane.6.gz
usr/share/metainfo/com.example.wrenfield.dorvane.metainfo.xml"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort <<<"$expected")
if [ "$actual" != "$expected" ]; then
  echo "installed files differ from the expected ones:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
status=0
[ -x "$root/usr/bin/dorvane" ] || { echo "usr/bin/dorvane is not executable"; status=1; }
for size in 16 32 48 64 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/dorvane.png" |
    grep -q "PNG image data, $size x $size," || { echo "the ${size}x$size icon is not $size px"; status=1; }
done
desktop-file-validate "$root/usr/share/applications/dorvane.desktop" || status=1
appstreamcli validate --no-net "$root/usr/share/metainfo/com.example.wrenfield.dorvane.metainfo.xml" \
  >"$root/appstream.txt" || { cat "$root/appstream.txt"; status=1; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man6/dorvane.6.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "the manual page has faults: $warnings"; status=1; }
[ $status -eq 0 ] && echo "installed $(wc -l <<<"$actual") files; desktop entry, AppStream and manual page valid"
exit $status
