#!/usr/bin/env bash
# Makes the Wine prefix of the engine tests once per build folder: 64-bit (it runs 32-bit
# programs too, through wine32), no virtual desktop, no Mono or Gecko (nothing here needs them,
# and their install dialogs would block the boot). Wine's first boot takes most of the time.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/.dorvane-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
wine wineboot --init >/dev/null 2>&1
wineserver -w
touch "$prefix/.dorvane-ready"
echo "Wine prefix ready in $prefix"
