#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A player's sessions with one Windows build in Wine's virtual desktop.
#   scenarios.sh WINDOWS_BUILD_FOLDER BITS
source "$(dirname "$0")/wine.sh"
start_wine_desktop

first=$work/first
start_dorvane "$first"
first_run "$first"
quit ctrl+q
[ "$(line "$first/Qimdat.dat" 69)" = 0 ] || fail "selection after quit: $(line "$first/Qimdat.dat" 69)"
[ "$(ls "$first")" = Qimdat.dat ] || fail "files left beside Qimdat.dat: $(ls "$first")"

game=$work/game
mkdir "$game"
names=(e1l8.map "my map.map")
for ((i = 0; i < 68; i++)); do printf '%d,"%s"\r\n' $i "${names[i]:-}"; done >"$game/Qimdat.dat"
printf '%s\r\n' 12 0,255,255,0 0,0,0,0 0,255,255,0 0,255,0 255,0,0 255,255,0 0,0,255 255,255,255 \
  >>"$game/Qimdat.dat"
for file in E1L9.MAP b.map x.mapx notes.txt .hid.map zz.map; do echo map >"$game/$file"; done
wine attrib +h "$(winepath -w "$game/zz.map")" >/dev/null 2>&1 || fail "cannot hide zz.map"
cp "$game/Qimdat.dat" "$work/before"
for program in duke3d.exe build.exe setup.exe; do cp "$bin/standin.exe" "$game/$program"; done
DORVANE_STANDIN_LOG=$game/standin.log  # where the stand-ins start
start_dorvane "$game"
at "$main" 30
# The default colours, and the mascot against the JPEG (decoders differ by a few steps).
shows() { compare -metric AE -fuzz "$4%" "xc:#$(colour_at "$main" "$1" "$2")" "xc:#$3" null:; }
mascot=$(convert "$(dirname "$0")/../../assets/wobbin1.jpg" -format "%[hex:p{30,40}]" info:)
for check in "4800 200 FF00FF 0" "4800 5960 0F000F 0" "7600 160 FF0000 0" "7600 880 FFFF00 0" \
  "7600 1600 00FF00 0" "6400 3760 0000FF 0" "8760 4710 $mascot 5"; do
  read -r x y colour fuzz <<<"$check"
  wait_for 5 shows "$x" "$y" "$colour" "$fuzz" ||
    fail "($x, $y) shows $(colour_at "$main" "$x" "$y"), not $colour"
done
click "$main" $(slot 5)
quit alt+F4
diff <(sed 69d "$work/before") <(sed 69d "$game/Qimdat.dat") >&2 || fail "the catalogue changed"

start_dorvane "$game"
at "$main" 30
keys_to "$main" alt+a
at "Add Map"
xdotool mousemove $((x + 40)) $((y + 14)) click --repeat 2 --delay 100 1  # the first file
wait_for 10 grep -q '^5,"e1l9.map"' "$game/Qimdat.dat" || fail "slot 5: $(line "$game/Qimdat.dat" 6)"
click "$main" $(slot 4)
keys_to "$main" alt+a
keys_to "Add Map" End
click "Add Map" 1800 3300  # Ok
wait_for 10 grep -q '^4,"b.map"' "$game/Qimdat.dat" || fail "slot 4: $(line "$game/Qimdat.dat" 5)"

keys_to "$main" F10 Right Right Right Right Return
at "FORM OF DEATH! no, wait..."
keys_to "FORM OF DEATH! no, wait..." r  # the first list (top of screen) takes its first colour starting with R
click "FORM OF DEATH! no, wait..." 1627 4267  # Ok

count() { [ "$(grep -c " $1\$" "$DORVANE_STANDIN_LOG")" -eq "$2" ]; }
# started_in_front TITLE [N]: the N-th stand-in started with command line TITLE is maximised, in front.
started_in_front() {
  wait_for 15 count "command $1" "${2:-1}" || fail "no start of $1"
  local pid=$(grep " command $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f2)
  wait_for 10 grep -q "^[0-9]* $pid shown maximised\$" "$DORVANE_STANDIN_LOG" || fail "$1 not maximised"
  wait_for 10 front_is "$1" || fail "$1 is not in front but \"$(probe front)\""
}
back_to_main() {
  for title; do probe close "$title" && probe gone "$title" 10 || fail "cannot close $title"; done
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
wait_for 15 count "key Y" 1 || fail "no Y in the editor"
says "Helpful Shortcut :)" "Would you like to run e1l8.map in Duke3d?"
keys_to "Helpful Shortcut :)" n
back_to_main "Build.exe e1l8.map"
keys_to "$main" ctrl+b
at "Helpful Shortcut :)" 20
keys_to "Helpful Shortcut :)" y
started_in_front "duke3d.exe -map e1l8.map" 2
back_to_main "duke3d.exe -map e1l8.map" "Build.exe e1l8.map"
click "$main" $(slot 2)

# The session's end saves as closing does, also while a question is open: not taken for a Yes.
keys_to "$main" ctrl+z
at "Erase All Maps"
wineboot --end-session >/dev/null 2>&1 || fail "the session did not end"
ended "$dorvane_pid" 10 || fail "the session's end did not end the program"
count "command .*" 5 || fail "unexpected starts: $(grep ' command ' "$DORVANE_STANDIN_LOG")"
[ "$(sed -n '1p;69,71p' "$game/Qimdat.dat" | tr -d '\r' | tr '\n' ' ')" = '0,"e1l8.map" 2 255,255,255,0 0,0,0,0 ' ] ||
  fail "slot 0, selection and red and green components: $(sed -n '1p;69,71p' "$game/Qimdat.dat")"
echo "scenarios passed"
