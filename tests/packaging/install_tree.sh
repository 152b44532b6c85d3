#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` of a build (install_tree.sh BUILD_DIR) puts exactly the expected files under
# the prefix, the icons at their sizes, and the desktop entry, the AppStream metadata and the
# manual page pass their own checkers.
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$1" --prefix /usr >/dev/null
cd "$root/usr"
sizes="16 32 48 64 128 256"
icon() { echo "share/icons/hicolor/$1x$1/apps/dorvane.png"; }
diff <(printf '%s\n' bin/dorvane share/applications/dorvane.desktop share/man/man6/dorvane.6.gz \
  share/doc/dorvane/{LICENSE,README.md,THIRD-PARTY.md,changelog.gz,copyright} \
  share/metainfo/com.example.wrenfield.dorvane.metainfo.xml $(for s in $sizes; do icon $s; done) |
  LC_ALL=C sort) <(find . -type f | sed 's|^\./||' | LC_ALL=C sort)
for s in $sizes; do
  file "$(icon $s)" | grep "PNG image data, $s x $s,"
done
desktop-file-validate share/applications/dorvane.desktop
appstreamcli validate --no-net share/metainfo/com.example.wrenfield.dorvane.metainfo.xml
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l share/man/man6/dorvane.6.gz 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "the manual page has faults: $warnings"; exit 1; }
