#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Choosing a slot with the mouse and closing the main window with its frame stores that slot as
# the selection; the next start chooses it again, so closing at once stores it unchanged, and the
# session's end stores a selection as closing does. The catalogue itself survives every run
# untouched. On the way, the window shows the default colours: graded slot rows (owner colours of
# option buttons), coloured graphical buttons, and the mascot's first picture, decoded from its
# JPEG by the Windows Imaging Component.
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
# The window may be listed before it has painted (on a busy machine, a while before): each point
# is given a few seconds to show its colour.
shows() { [ "$(colour_at "$main" "$1" "$2")" = "$3" ]; }
expect_colour() {
  wait_for 5 shows "$2" "$3" "$4" || fail "$1 shows $(colour_at "$main" "$2" "$3"), not $4"
}
expect_colour "slot row 0" 4800 200 FF00FF
expect_colour "slot row 16" 4800 5960 0F000F
expect_colour "Run In Build" 7600 160 FF0000
expect_colour "Run In Setup" 7600 880 FFFF00
expect_colour "Run In Duke3d" 7600 1600 00FF00
expect_colour "Random" 6400 3760 0000FF
# A point of the mascot, inside the picture box's 2-pixel border, against the JPEG itself (two
# JPEG decoders may differ by a few steps).
want=$(convert "$here/../../assets/wobbin1.jpg" -format "%[hex:p{30,40}]" info:)
mascot() { colour_at "$main" $((8280 + 32 * 15)) $((4080 + 42 * 15)); }
near_picture() {
  local shown c d
  shown=$(mascot)
  for c in 0 2 4; do
    d=$((16#${shown:c:2} - 16#${want:c:2}))
    [ ${d#-} -le 12 ] || return 1
  done
}
wait_for 5 near_picture || fail "the mascot shows $(mascot) where its picture has $want"
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

# The session ending (log off, shut down) saves as closing does, also while a question is open:
# the selection is kept and the question is not taken for a Yes.
start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window on the third start"
click "$main" $(slot 3)
keys_to "$main" ctrl+z
probe wait "Erase All Maps" 10 >/dev/null || fail "Ctrl+Z asked nothing"
wineboot --end-session >/dev/null 2>&1 || fail "the session did not end"
ended "$dorvane_pid" 10 || fail "the session's end did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 3 ] || fail "selection after the session's end: $(line "$game/Qimdat.dat" 69)"
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the catalogue changed"
echo "slot and close passed"
