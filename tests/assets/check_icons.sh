#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The committed icons are what tools/icon/make_icon.py draws now: a stale or hand-edited icon
# fails here, not on a user's desktop. Their sizes are checked where they are used: the window's
# icons by the look scenario, the desktop's by the install check (tests/packaging).
#   check_icons.sh SOURCE_DIR
set -euo pipefail
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
python3 "$1/tools/icon/make_icon.py" "$fresh"
diff -r "$fresh" "$1/assets/icons" || { echo "run: python3 tools/icon/make_icon.py assets/icons"; exit 1; }
