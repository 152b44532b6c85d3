#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The map file picker on Windows: Alt+A (the button's access key) opens it on the folder's map
# files, with letter case ignored, "*.map" not taking longer extensions and hidden files left
# out; a double-click stores the file's lower-cased name in the chosen slot, and so does End
# then Ok.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 0
for file in E1L9.MAP b.map x.mapx notes.txt .hid.map zz.map; do echo map >"$game/$file"; done
# Hidden: a dot file (Wine's rule for Unix names) and one with the hidden attribute, which would
# otherwise come first and last in the list.
wine attrib +h "$(winepath -w "$game/zz.map")" >/dev/null 2>&1 || fail "cannot hide zz.map"
main="Dorvane (Duke3d Map Loader)"
picker="Add Map"

start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window"
click "$main" $(slot 4)
keys_to "$main" alt+a
probe wait "$picker" 10 >/dev/null || fail "Alt+A did not open the picker"
at=$(probe wait "$picker" | head -1)
read -r x y _ <<<"$at"
xdotool mousemove $((x + 40)) $((y + 8 + 6)) click --repeat 2 --delay 100 1  # the first file
probe gone "$picker" 10 || fail "the double-click did not take the file"
wait_for 10 grep -q '^4,"e1l9.map"' "$game/Qimdat.dat" || fail "slot 4: $(line "$game/Qimdat.dat" 5)"

click "$main" $(slot 5)
keys_to "$main" alt+a
keys_to "$picker" End
click "$picker" 1800 3300  # Ok
probe gone "$picker" 10 || fail "Ok did not take the file"
wait_for 10 grep -q '^5,"b.map"' "$game/Qimdat.dat" || fail "slot 5: $(line "$game/Qimdat.dat" 6)"

keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
echo "add map passed"
