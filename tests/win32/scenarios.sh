#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A player's sessions with one Windows build under Wine, in one virtual desktop:
# - the first run: the message that Qimdat.dat was created comes before the main window, the
#   fresh 77-line file is written, and Ctrl+Q stores slot 0;
# - the window in the default colours (slot rows, graphical buttons, the mascot decoded from its
#   JPEG), a slot clicked and the frame closed (Alt+F4) stores it, and the next start chooses it;
# - the map file picker (Alt+A): the folder's map files, case ignored, no longer extensions, no
#   hidden files; a double-click and End then Ok store lower-cased names;
# - the item-less "Change Colors  |" entry from the keyboard, a pick and Ok reaching the file; the
#   about box with the focus on its close button, its ANSWER caption whole in lines;
# - the game's programs (stand-ins that log what they get) started maximised and in front with
#   their exact command lines, the editor's "Y" no sooner than two seconds after its start, the
#   question answered No and then Yes, "Duh!" for a free slot;
# - two windows on the folder: the second clears the database, the first's close keeps it so;
# - the session's end (log off) while a question is open saves the selection as closing does.
#   scenarios.sh WINDOWS_BUILD_FOLDER BITS
source "$(dirname "$0")/wine.sh"
main="Dorvane (Duke3d Map Loader)"
start_wine_desktop

first=$work/first
mkdir -p "$first"
start_dorvane "$first"
box=$(probe wait Dorvane 30) || fail "no first-run message"
grep -q "Qimdat.dat has been created/updated" <<<"$box" || fail "another message: $box"
probe wait "$main" 0 >/dev/null && fail "main window shown before the message was answered"
keys_to Dorvane Return
probe wait "$main" 10 >/dev/null || fail "no main window"
[ "$(grep -c $'\r$' "$first/Qimdat.dat")" -eq 77 ] || fail "not 77 lines ending in CR LF"
[ "$(line "$first/Qimdat.dat" 68)$(line "$first/Qimdat.dat" 69)" = '67,""' ] ||
  fail "slot 67 and selection lines: $(sed -n 68,69p "$first/Qimdat.dat")"
keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
[ "$(line "$first/Qimdat.dat" 69)" = 0 ] || fail "selection after quit: $(line "$first/Qimdat.dat" 69)"
[ "$(ls "$first")" = Qimdat.dat ] || fail "files left beside Qimdat.dat: $(ls "$first")"

game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 12 e1l8.map "my map.map"
for file in E1L9.MAP b.map x.mapx notes.txt .hid.map zz.map; do echo map >"$game/$file"; done
# Hidden: a dot file (Wine's rule for Unix names) and one with the hidden attribute.
wine attrib +h "$(winepath -w "$game/zz.map")" >/dev/null 2>&1 || fail "cannot hide zz.map"
cp "$game/Qimdat.dat" "$work/before"
for program in duke3d.exe build.exe setup.exe; do cp "$bin/standin.exe" "$game/$program"; done
export DORVANE_STANDIN_LOG=$work/standin.log  # the stand-ins learn it from the launcher
touch "$DORVANE_STANDIN_LOG"
start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window"
probe wait Dorvane 0 >/dev/null && fail "a message box on a complete catalogue"
# The window may be listed before it has painted: each point is given a few seconds.
shows() { [ "$(colour_at "$main" "$1" "$2")" = "$3" ]; }
for check in "4800 200 FF00FF" "4800 5960 0F000F" "7600 160 FF0000" "7600 880 FFFF00" \
  "7600 1600 00FF00" "6400 3760 0000FF"; do
  read -r x y colour <<<"$check"
  wait_for 5 shows "$x" "$y" "$colour" || fail "($x, $y) shows $(colour_at "$main" "$x" "$y"), not $colour"
done
# A point of the mascot against the JPEG itself (two decoders may differ by a few steps).
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
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the catalogue changed"

# Started again on slot 5: the picker's double-click fills it.
picker="Add Map"
start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window on the second start"
keys_to "$main" alt+a
at=$(probe wait "$picker" 10 | head -1) || fail "Alt+A did not open the picker"
read -r x y _ <<<"$at"
xdotool mousemove $((x + 40)) $((y + 8 + 6)) click --repeat 2 --delay 100 1  # the first file
probe gone "$picker" 10 || fail "the double-click did not take the file"
wait_for 10 grep -q '^5,"e1l9.map"' "$game/Qimdat.dat" || fail "slot 5: $(line "$game/Qimdat.dat" 6)"
click "$main" $(slot 4)
keys_to "$main" alt+a
keys_to "$picker" End
click "$picker" 1800 3300  # Ok
probe gone "$picker" 10 || fail "Ok did not take the file"
wait_for 10 grep -q '^4,"b.map"' "$game/Qimdat.dat" || fail "slot 4: $(line "$game/Qimdat.dat" 5)"

# ink TITLE LEFT TOP WIDTH HEIGHT: the dark pixels inside a button's bevel, as "ROW_BANDS
# LEFTMOST RIGHTMOST WIDTH", columns counted from the inside of the bevel.
ink() {
  local at inset=3
  at=$(probe wait "$1" 10 | head -1) || fail "no window \"$1\" to look at"
  read -r x y _ <<<"$at"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$(($4 / 15 - 2 * inset))x$(($5 / 15 - 2 * inset))+$((x + $2 / 15 + inset))+$((y + $3 / 15 + inset))" \
    +repage -colorspace gray -compress none pgm:- | tr -s ' \n' '\n' | awk '
    NR == 2 { w = $1 } NR <= 4 { next }
    { i = NR - 5; row = int(i / w); col = i % w
      if ($1 < 96) { dark[row] = 1; if (lo == "" || col < lo) lo = col; if (col > hi) hi = col } }
    END { for (r = 0; r <= row; r++) { if (dark[r] && !dark[r - 1]) bands++ }
          printf "%d %d %d %d\n", bands, (lo == "" ? -1 : lo), hi, w }'
}
dialog="FORM OF DEATH! no, wait..."
keys_to "$main" F10 Right Right Right Right Return
probe wait "$dialog" 10 >/dev/null || fail "the menu entry did not open the colour dialog"
keys_to "$dialog" r  # the first list (top of screen) takes its first colour starting with R
click "$dialog" 1627 4267  # Ok
probe gone "$dialog" 10 || fail "Ok did not hide the dialog"
about="About Dorvane"
click "$main" 60 6300
keys_to "$main" ctrl+a
probe wait "$about" 10 >/dev/null || fail "Ctrl+A did not open the about box"
keys_to "$about" Return
probe gone "$about" 10 || fail "Enter right after opening did not hide the about box"
click "$main" 60 6300
keys_to "$main" ctrl+a
answer_ink() { ink "$about" 4080 1680 735 1455; }  # Command1 in Frame1 in Frame666
in_lines() { read -r bands _ <<<"$(answer_ink)" && [ "$bands" -ge 2 ]; }
wait_for 5 in_lines || fail "ANSWER is not drawn in two lines or more: $(answer_ink)"
read -r bands leftmost rightmost width <<<"$(answer_ink)"
[ "$leftmost" -gt 0 ] && [ "$rightmost" -lt $((width - 1)) ] ||
  fail "ANSWER runs into the button's sides: ink from $leftmost to $rightmost of $width"
probe close "$about" || fail "cannot close the about box"
probe gone "$about" 10 || fail "the about box stayed"

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
  pid=$(grep " command $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f2)
  wait_for 10 grep -q "^[0-9]* $pid shown maximised\$" "$DORVANE_STANDIN_LOG" || fail "$1 not maximised"
  wait_for 10 grep -q "^[0-9]* $pid focus\$" "$DORVANE_STANDIN_LOG" || fail "$1 never had the focus"
  wait_for 10 front_is "$1" || fail "$1 is not in front but \"$(probe front)\""
}
# back_to_main TITLE: closes the stand-in and clicks the main window, as the user goes on.
back_to_main() {
  probe close "$1" || fail "cannot close $1"
  probe gone "$1" 10 || fail "$1 stayed"
  click "$main" 60 6300
  wait_for 10 front_is "$main" || fail "the main window did not come back in front"
}
click "$main" $(slot 0)
keys_to "$main" ctrl+d
logged "command duke3d.exe -map e1l8.map" >/dev/null
started_in_front "duke3d.exe -map e1l8.map"
back_to_main "duke3d.exe -map e1l8.map"
click "$main" $(slot 1)
click "$main" 7560 840  # "Run In &Setup"
logged "command setup.exe -map my map.map" >/dev/null
started_in_front "setup.exe -map my map.map"
back_to_main "setup.exe -map my map.map"
click "$main" $(slot 0)
keys_to "$main" ctrl+b
started=$(logged "command Build.exe e1l8.map")
typed=$(logged "key Y")
[ $((typed - started)) -ge 2000 ] || fail "the Y came $((typed - started)) ms after the start"
question=$(probe wait "Helpful Shortcut :)" 10) || fail "no question after the Y"
grep -qx "Would you like to run e1l8.map in Duke3d?" <<<"$question" || fail "question: $question"
keys_to "Helpful Shortcut :)" n
probe gone "Helpful Shortcut :)" 10 || fail "No did not answer the question"
back_to_main "Build.exe e1l8.map"
keys_to "$main" ctrl+b
wait_for 15 count "key Y" 2 || fail "no second Y"
probe wait "Helpful Shortcut :)" 10 >/dev/null || fail "no second question"
keys_to "Helpful Shortcut :)" y
wait_for 10 count "command duke3d.exe -map e1l8.map" 2 || fail "Yes did not start the game"
started_in_front "duke3d.exe -map e1l8.map"
probe close "Build.exe e1l8.map"
back_to_main "duke3d.exe -map e1l8.map"
click "$main" $(slot 2)
keys_to "$main" ctrl+d
duh=$(probe wait "Duh!" 10) || fail "no message for a free slot"
grep -qx "Put a map in the slot first." <<<"$duh" || fail "message: $duh"
keys_to "Duh!" Return
probe gone "Duh!" 10 || fail "the message stayed"
keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
[ "$(grep -c ' command ' "$DORVANE_STANDIN_LOG")" -eq 5 ] ||
  fail "unexpected starts: $(grep ' command ' "$DORVANE_STANDIN_LOG")"
[ "$(sed -n 69,71p "$game/Qimdat.dat" | tr -d '\r' | tr '\n' ' ')" = "2 255,255,255,0 0,0,0,0 " ] ||
  fail "selection and red and green components: $(sed -n 69,71p "$game/Qimdat.dat")"

two_windows() { [ "$(probe list | grep -c " $main\$")" -eq 2 ]; }
start_dorvane "$game"
first=$dorvane_pid
probe wait "$main" 30 >/dev/null || fail "no main window"
start_dorvane "$game"
wait_for 30 two_windows || fail "no second main window"
# The second window, started last, comes in front. Wine may still be moving the focus to it as
# the keys go, and a Ctrl typed meanwhile reaches the window it leaves: the shortcut is typed
# once more if the first asked nothing.
keys_to "$main" ctrl+z
if ! probe wait "Erase All Maps" 5 >/dev/null; then
  keys_to "$main" ctrl+z
  probe wait "Erase All Maps" 10 >/dev/null || fail "Ctrl+Z did not ask"
fi
keys_to "Erase All Maps" y
wait_for 10 bash -c "! grep -q '\.map' '$game/Qimdat.dat'" || fail "the second window did not clear the file"
keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the second program"
probe close "$main" || fail "cannot close the first window"
ended "$first" 10 || fail "closing the first window did not end it"
grep -q '\.map' "$game/Qimdat.dat" && fail "the first window's save brought the cleared maps back"

# The session ending (log off, shut down) saves as closing does, also while a question is open:
# the selection is kept and the question is not taken for a Yes.
catalogue "$game/Qimdat.dat" 12 e1l8.map "my map.map"
cp "$game/Qimdat.dat" "$work/before"
start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window before the session's end"
click "$main" $(slot 3)
keys_to "$main" ctrl+z
probe wait "Erase All Maps" 10 >/dev/null || fail "Ctrl+Z asked nothing"
wineboot --end-session >/dev/null 2>&1 || fail "the session did not end"
ended "$dorvane_pid" 10 || fail "the session's end did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 3 ] || fail "selection after the session's end: $(line "$game/Qimdat.dat" 69)"
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the session's end changed the catalogue"
echo "scenarios passed"
