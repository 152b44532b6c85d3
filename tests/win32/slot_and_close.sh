#!/usr/bin/env bash
# Choosing a slot with the mouse and closing the main window with its frame stores that slot as
# the selection; the next start chooses it again, so closing at once stores it unchanged. The
# catalogue itself survives both runs untouched.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 12 e1l1.map e1l2.map "" e1l4.map "" "my map.map"
cp "$game/Qimdat.dat" "$work/before"
main="Dorvane (Duke3d Map Loader)"

start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window"
probe wait Dorvane 0 >/dev/null && fail "a message box on a complete catalogue"
click "$main" $(slot 5)
keys_to "$main" alt+F4
ended "$dorvane_pid" 10 || fail "closing the window did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 5 ] || fail "selection after close: $(line "$game/Qimdat.dat" 69)"
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the catalogue changed"

start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window on the second start"
probe close "$main" || fail "cannot close the main window"
ended "$dorvane_pid" 10 || fail "closing the window did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 5 ] || fail "the second start did not choose slot 5"
echo "slot and close passed"
