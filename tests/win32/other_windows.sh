#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The main window's other windows on Windows: the item-less menu entry "Change Colors  |" opens
# the colour dialog when chosen from the keyboard, a colour picked in its list and taken with Ok
# reaches the database at the next write, and Ctrl+A opens the about box, which its frame closes.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 0 e1l8.map
main="Dorvane (Duke3d Map Loader)"
dialog="FORM OF DEATH! no, wait..."

start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window"

keys_to "$main" F10 Right Right Right Right Return
probe wait "$dialog" 10 >/dev/null || fail "the menu entry did not open the colour dialog"
keys_to "$dialog" r  # the first list (top of screen) takes its first colour starting with R
click "$dialog" 1627 4267  # Ok
probe gone "$dialog" 10 || fail "Ok did not hide the dialog"

click "$main" 60 6300
keys_to "$main" ctrl+a
probe wait "About Dorvane" 10 >/dev/null || fail "Ctrl+A did not open the about box"
probe close "About Dorvane" || fail "cannot close the about box"
probe gone "About Dorvane" 10 || fail "the about box stayed"

click "$main" 60 6300
keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
[ "$(line "$game/Qimdat.dat" 70)" = "255,255,255,0" ] ||
  fail "red components after choosing Red for the top of the screen: $(line "$game/Qimdat.dat" 70)"
[ "$(line "$game/Qimdat.dat" 71)" = "0,0,0,0" ] || fail "green components: $(line "$game/Qimdat.dat" 71)"
echo "other windows passed"
