#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two Dorvane windows on one game folder under Windows: the second clears the whole database and
# quits; the first, which still shows the old catalogue, is closed and does not bring it back.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 2 e1l1.map e1l2.map "" e1l4.map
main="Dorvane (Duke3d Map Loader)"
two_windows() { [ "$(probe list | grep -c " $main\$")" -eq 2 ]; }

start_dorvane "$game"
first=$dorvane_pid
probe wait "$main" 30 >/dev/null || fail "no main window"
start_dorvane "$game"
second=$dorvane_pid
wait_for 30 two_windows || fail "no second main window"
# The second window, started last, is in front.
keys_to "$main" ctrl+z
probe wait "Erase All Maps" 10 >/dev/null || fail "Ctrl+Z did not ask"
keys_to "Erase All Maps" y
wait_for 10 bash -c "! grep -q e1l '$game/Qimdat.dat'" || fail "the second window did not clear the file"
keys_to "$main" ctrl+q
ended "$second" 10 || fail "Ctrl+Q did not end the second program"

probe close "$main" || fail "cannot close the first window"
ended "$first" 10 || fail "closing the first window did not end it"
grep -q 'e1l' "$game/Qimdat.dat" && fail "the first window's save brought the cleared maps back"
[ "$(line "$game/Qimdat.dat" 69)" = 2 ] || fail "selection: $(line "$game/Qimdat.dat" 69)"
echo "two windows passed"
