#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A player's sessions with one Windows build in Wine's virtual desktop: the first run; the
# window's colours and mascot, the frame closed storing the slot clicked; the map file picker;
# the colour dialog from the menu bar's item-less entry; the about box; the game's programs
# (stand-ins that log what they get) started maximised in front with their exact command lines,
# the editor's "Y" two seconds on, its question; the session's end while a question is open.
#   scenarios.sh WINDOWS_BUILD_FOLDER BITS
source "$(dirname "$0")/wine.sh"
start_wine_desktop

first=$work/first
start_dorvane "$first"
first_run "$first"
[ "$(line "$first/Qimdat.dat" 68)$(line "$first/Qimdat.dat" 69)" = '67,""' ] ||
  fail "slot 67 and selection lines: $(sed -n 68,69p "$first/Qimdat.dat")"
quit ctrl+q
[ "$(line "$first/Qimdat.dat" 69)" = 0 ] || fail "selection after quit: $(line "$first/Qimdat.dat" 69)"
[ "$(ls "$first")" = Qimdat.dat ] || fail "files left beside Qimdat.dat: $(ls "$first")"

game=$work/game
mkdir "$game"
catalogue "$game/Qimdat.dat" 12 e1l8.map "my map.map"
for file in E1L9.MAP b.map x.mapx notes.txt .hid.map zz.map; do echo map >"$game/$file"; done
# Hidden: a dot file (Wine's rule for Unix names) and one with the hidden attribute.
wine attrib +h "$(winepath -w "$game/zz.map")" >/dev/null 2>&1 || fail "cannot hide zz.map"
cp "$game/Qimdat.dat" "$work/before"
for program in duke3d.exe build.exe setup.exe; do cp "$bin/standin.exe" "$game/$program"; done
export DORVANE_STANDIN_LOG=$work/standin.log  # the stand-ins learn it from the launcher
start_dorvane "$game"
see "$main" 30
probe wait Dorvane 0 >/dev/null && fail "a message box on a complete catalogue"
# The default colours, and the mascot against the JPEG (decoders may differ by a few steps);
# the window may be listed before it has painted.
shows() { compare -metric AE -fuzz "$4%" "xc:#$(colour_at "$main" "$1" "$2")" "xc:#$3" null:; }
mascot=$(convert "$here/../../assets/wobbin1.jpg" -format "%[hex:p{30,40}]" info:)
for check in "4800 200 FF00FF 0" "4800 5960 0F000F 0" "7600 160 FF0000 0" "7600 880 FFFF00 0" \
  "7600 1600 00FF00 0" "6400 3760 0000FF 0" "8760 4710 $mascot 5"; do
  read -r x y colour fuzz <<<"$check"
  wait_for 5 shows "$x" "$y" "$colour" "$fuzz" ||
    fail "($x, $y) shows $(colour_at "$main" "$x" "$y"), not $colour"
done
click "$main" $(slot 5)
quit alt+F4
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the catalogue changed"

# Started again on slot 5: the picker's double-click fills it.
picker="Add Map"
start_dorvane "$game"
see "$main" 30
keys_to "$main" alt+a
at "$picker"
xdotool mousemove $((x + 40)) $((y + 14)) click --repeat 2 --delay 100 1  # the first file
gone "$picker"
wait_for 10 grep -q '^5,"e1l9.map"' "$game/Qimdat.dat" || fail "slot 5: $(line "$game/Qimdat.dat" 6)"
click "$main" $(slot 4)
keys_to "$main" alt+a
keys_to "$picker" End
click "$picker" 1800 3300  # Ok
gone "$picker"
wait_for 10 grep -q '^4,"b.map"' "$game/Qimdat.dat" || fail "slot 4: $(line "$game/Qimdat.dat" 5)"

dialog="FORM OF DEATH! no, wait..."
keys_to "$main" F10 Right Right Right Right Return
see "$dialog"
keys_to "$dialog" r  # the first list (top of screen) takes its first colour starting with R
click "$dialog" 1627 4267  # Ok
gone "$dialog"
about="About Dorvane"
click "$main" 60 6300
keys_to "$main" ctrl+a
# answer_ink: the dark pixels inside the bevel of the about box's Command1 (in Frame1 in
# Frame666), as "ROW_BANDS LEFTMOST RIGHTMOST WIDTH", columns counted from inside the bevel.
answer_ink() {
  at "$about"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "43x91+$((x + 275))+$((y + 115))" +repage -colorspace gray \
    -compress none pgm:- | tr -s ' \n' '\n' | awk '
    NR == 2 { w = $1 } NR <= 4 { next }
    { i = NR - 5; row = int(i / w); col = i % w
      if ($1 < 96) { dark[row] = 1; if (lo == "" || col < lo) lo = col; if (col > hi) hi = col } }
    END { for (r = 0; r <= row; r++) { if (dark[r] && !dark[r - 1]) bands++ }
          printf "%d %d %d %d\n", bands, (lo == "" ? -1 : lo), hi, w }'
}
wrapped() { read -r bands lo hi w <<<"$(answer_ink)" && [ "$bands" -ge 2 ] && [ "$lo" -gt 0 ] && [ "$hi" -lt $((w - 1)) ]; }
wait_for 5 wrapped || fail "ANSWER is not in two lines or more inside the button: $(answer_ink)"
keys_to "$about" Return  # the focus is on its close button from the start
gone "$about"

# logged TEXT: waits until a stand-in logged a line ending in TEXT; prints its tick.
logged() {
  wait_for 15 grep -q " $1\$" "$DORVANE_STANDIN_LOG" || fail "no stand-in logged \"$1\""
  grep " $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f1
}
count() { [ "$(grep -c " $1\$" "$DORVANE_STANDIN_LOG")" -eq "$2" ]; }
# started_in_front TITLE: the stand-in last started with command line TITLE is maximised, has
# had the focus and is in front.
started_in_front() {
  local pid
  logged "command $1" >/dev/null
  pid=$(grep " command $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f2)
  wait_for 10 grep -q "^[0-9]* $pid shown maximised\$" "$DORVANE_STANDIN_LOG" || fail "$1 not maximised"
  wait_for 10 grep -q "^[0-9]* $pid focus\$" "$DORVANE_STANDIN_LOG" || fail "$1 never had the focus"
  wait_for 10 front_is "$1" || fail "$1 is not in front but \"$(probe front)\""
}
# back_to_main TITLE...: closes these stand-ins and clicks the main window, as the user goes on.
back_to_main() {
  for title; do probe close "$title" && gone "$title" || fail "cannot close $title"; done
  click "$main" 60 6300
}
click "$main" $(slot 0)
keys_to "$main" ctrl+d
started_in_front "duke3d.exe -map e1l8.map"
back_to_main "duke3d.exe -map e1l8.map"
click "$main" $(slot 1)
click "$main" 7560 840  # "Run In &Setup"
started_in_front "setup.exe -map my map.map"
back_to_main "setup.exe -map my map.map"
click "$main" $(slot 0)
keys_to "$main" ctrl+b
started=$(logged "command Build.exe e1l8.map")
typed=$(logged "key Y")
[ $((typed - started)) -ge 2000 ] || fail "the Y came $((typed - started)) ms after the start"
says "Helpful Shortcut :)" "Would you like to run e1l8.map in Duke3d?"
keys_to "Helpful Shortcut :)" n
gone "Helpful Shortcut :)"
back_to_main "Build.exe e1l8.map"
keys_to "$main" ctrl+b
wait_for 15 count "key Y" 2 || fail "no second Y"
see "Helpful Shortcut :)"
keys_to "Helpful Shortcut :)" y
wait_for 10 count "command duke3d.exe -map e1l8.map" 2 || fail "Yes did not start the game"
started_in_front "duke3d.exe -map e1l8.map"
back_to_main "duke3d.exe -map e1l8.map" "Build.exe e1l8.map"
click "$main" $(slot 2)
keys_to "$main" ctrl+d
says "Duh!" "Put a map in the slot first."
keys_to "Duh!" Return
gone "Duh!"
quit ctrl+q
[ "$(grep -c ' command ' "$DORVANE_STANDIN_LOG")" -eq 5 ] ||
  fail "unexpected starts: $(grep ' command ' "$DORVANE_STANDIN_LOG")"
[ "$(sed -n 69,71p "$game/Qimdat.dat" | tr -d '\r' | tr '\n' ' ')" = "2 255,255,255,0 0,0,0,0 " ] ||
  fail "selection and red and green components: $(sed -n 69,71p "$game/Qimdat.dat")"

# The session ending (log off, shut down) saves as closing does, also while a question is open:
# the selection is kept and the question is not taken for a Yes.
catalogue "$game/Qimdat.dat" 12 e1l8.map "my map.map"
cp "$game/Qimdat.dat" "$work/before"
start_dorvane "$game"
see "$main" 30
click "$main" $(slot 3)
keys_to "$main" ctrl+z
see "Erase All Maps"
wineboot --end-session >/dev/null 2>&1 || fail "the session did not end"
ended "$dorvane_pid" 10 || fail "the session's end did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 3 ] || fail "selection after the session's end: $(line "$game/Qimdat.dat" 69)"
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the session's end changed the catalogue"
echo "scenarios passed"
