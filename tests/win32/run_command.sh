#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The launcher on Windows: the game's programs (stand-ins that log what they get) start from the
# game folder maximised, in front, with their exact command lines; the editor gets its "Y" no
# sooner than two seconds after its start, then the question is answered No and, the next time,
# Yes (which starts the game with the same map). A free slot gets its "Duh!" message.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
catalogue "$game/Qimdat.dat" 0 e1l8.map "my map.map"
for program in duke3d.exe build.exe setup.exe; do cp "$bin/standin.exe" "$game/$program"; done
export DORVANE_STANDIN_LOG=$work/standin.log
touch "$DORVANE_STANDIN_LOG"
main="Dorvane (Duke3d Map Loader)"

# logged TEXT: waits until a stand-in logged a line ending in TEXT; prints the tick of it.
logged() {
  wait_for 15 grep -q " $1\$" "$DORVANE_STANDIN_LOG" || fail "no stand-in logged \"$1\""
  grep " $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f1
}
# count TEXT N: whether N log lines end in TEXT.
count() {
  [ "$(grep -c " $1\$" "$DORVANE_STANDIN_LOG")" -eq "$2" ]
}
# started_in_front TITLE: the stand-in last started with command line TITLE is maximised and
# has the focus.
started_in_front() {
  local pid
  pid=$(grep " command $1\$" "$DORVANE_STANDIN_LOG" | tail -1 | cut -d' ' -f2)
  wait_for 10 grep -q "^[0-9]* $pid shown maximised\$" "$DORVANE_STANDIN_LOG" || fail "$1 not maximised"
  wait_for 10 grep -q "^[0-9]* $pid focus\$" "$DORVANE_STANDIN_LOG" || fail "$1 never had the focus"
  wait_for 10 front_is "$1" || fail "$1 is not in front but \"$(probe front)\""
}
# back_to_main TITLE: closes the stand-in with TITLE and clicks the main window's background,
# as the user would to go on (Wine may leave no window in front after a close).
back_to_main() {
  probe close "$1" || fail "cannot close $1"
  probe gone "$1" 10 || fail "$1 stayed"
  click "$main" 60 6300
  wait_for 10 front_is "$main" || fail "the main window did not come back in front"
}

start_dorvane "$game"
probe wait "$main" 30 >/dev/null || fail "no main window"

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
logged "command Build.exe e1l8.map" >/dev/null
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
count "command duke3d.exe -map e1l8.map" 2 || fail "No started the game"
[ "$(grep -c ' command ' "$DORVANE_STANDIN_LOG")" -eq 5 ] || fail "unexpected starts: $(grep ' command ' "$DORVANE_STANDIN_LOG")"
[ "$(line "$game/Qimdat.dat" 69)" = 2 ] || fail "selection after quit: $(line "$game/Qimdat.dat" 69)"
echo "run command passed"
