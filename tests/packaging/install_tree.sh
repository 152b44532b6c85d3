#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` of a build (install_tree.sh BUILD_DIR) puts exactly the expected files under
# the prefix, and its desktop entry, AppStream metadata and manual page pass their own checkers.
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$1" --prefix /usr >/dev/null
cd "$root/usr"
diff <(printf '%s\n' bin/dorvane share/applications/dorvane.desktop share/man/man6/dorvane.6.gz \
  share/doc/dorvane/{LICENSE,README.md,THIRD-PARTY.md,changelog.gz,copyright} \
  share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/dorvane.png \
  share/metainfo/com.example.wrenfield.dorvane.metainfo.xml | LC_ALL=C sort) \
  <(find . -type f | sed 's|^\./||' | LC_ALL=C sort)
desktop-file-validate share/applications/dorvane.desktop
appstreamcli validate --no-net share/metainfo/com.example.wrenfield.dorvane.metainfo.xml
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l share/man/man6/dorvane.6.gz 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "the manual page has faults: $warnings"; exit 1; }
