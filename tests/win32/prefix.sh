#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The private Wine prefix, made once, with a virtual desktop: every window lives in one X
# window of a known size and Wine keeps the focus rules in its own hands.
source "$(dirname "$0")/wine.sh"
[ -f "$WINEPREFIX/.dorvane-ready" ] && exit 0
start_wine_desktop
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.dorvane-ready"
