#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The main window's other windows on Windows: the item-less menu entry "Change Colors  |" opens
# the colour dialog when chosen from the keyboard, a colour picked in its list and taken with Ok
# reaches the database at the next write, and Ctrl+A opens the about box with the focus on its
# close button, so that Enter right away hides it. Opened again, the box shows its tall, narrow
# ANSWER button's caption whole, in lines inside the button, and its frame closes it.
source "$(dirname "$0")/wine.sh"

# ink TITLE LEFT TOP WIDTH HEIGHT: the dark pixels inside a button's bevel (the button placed in
# twips of the window's client area), as "ROW_BANDS LEFTMOST RIGHTMOST WIDTH", columns counted
# from the inside of the bevel.
ink() {
  local at inset=3
  at=$(probe wait "$1" 10 | head -1) || fail "no window \"$1\" to look at"
  read -r x y _ <<<"$at"
  local left=$((x + $2 / 15 + inset)) top=$((y + $3 / 15 + inset))
  local width=$(($4 / 15 - 2 * inset)) height=$(($5 / 15 - 2 * inset))
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${width}x${height}+${left}+${top}" +repage -colorspace gray \
    -compress none pgm:- | tr -s ' \n' '\n' | awk '
    NR == 2 { w = $1 } NR <= 4 { next }
    { i = NR - 5; row = int(i / w); col = i % w
      if ($1 < 96) { dark[row] = 1; if (lo == "" || col < lo) lo = col; if (col > hi) hi = col } }
    END { for (r = 0; r <= row; r++) { if (dark[r] && !dark[r - 1]) bands++ }
          printf "%d %d %d %d\n", bands, (lo == "" ? -1 : lo), hi, w }'
}

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
keys_to "About Dorvane" Return
probe gone "About Dorvane" 10 || fail "Enter right after opening did not hide the about box"

click "$main" 60 6300
keys_to "$main" ctrl+a
probe wait "About Dorvane" 10 >/dev/null || fail "Ctrl+A did not show the about box again"
# Command1 inside Frame1 inside Frame666: at 3840 + 120 + 120, 0 + 1440 + 240.
answer_ink() { ink "About Dorvane" 4080 1680 735 1455; }
in_lines() { read -r bands _ <<<"$(answer_ink)" && [ "$bands" -ge 2 ]; }
wait_for 5 in_lines || fail "ANSWER is not drawn in two lines or more: $(answer_ink)"
read -r bands leftmost rightmost width <<<"$(answer_ink)"
[ "$leftmost" -gt 0 ] && [ "$rightmost" -lt $((width - 1)) ] ||
  fail "ANSWER runs into the button's sides: ink from $leftmost to $rightmost of $width"
probe close "About Dorvane" || fail "cannot close the about box"
probe gone "About Dorvane" 10 || fail "the about box stayed"

click "$main" 60 6300
keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
[ "$(line "$game/Qimdat.dat" 70)" = "255,255,255,0" ] ||
  fail "red components after choosing Red for the top of the screen: $(line "$game/Qimdat.dat" 70)"
[ "$(line "$game/Qimdat.dat" 71)" = "0,0,0,0" ] || fail "green components: $(line "$game/Qimdat.dat" 71)"
echo "other windows passed"
