#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# First run in an empty game folder: the message that Qimdat.dat was created comes before the
# main window; once answered, the window shows with the fresh 77-line file written, and Ctrl+Q
# ends the program with slot 0 stored as the selection.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
game=$work/game
mkdir -p "$game"
main="Dorvane (Duke3d Map Loader)"

start_dorvane "$game"
box=$(probe wait Dorvane 30) || fail "no first-run message"
grep -q "Qimdat.dat has been created/updated" <<<"$box" || fail "another message: $box"
probe wait "$main" 0 >/dev/null && fail "main window shown before the message was answered"

keys_to Dorvane Return
probe gone Dorvane 10 || fail "the message stayed"
probe wait "$main" 10 >/dev/null || fail "no main window"
[ "$(wc -l <"$game/Qimdat.dat")" -eq 77 ] || fail "Qimdat.dat does not have 77 lines"
[ "$(line "$game/Qimdat.dat" 1)" = '0,""' ] || fail "slot 0 line: $(line "$game/Qimdat.dat" 1)"
[ "$(line "$game/Qimdat.dat" 68)" = '67,""' ] || fail "slot 67 line: $(line "$game/Qimdat.dat" 68)"
[ -z "$(line "$game/Qimdat.dat" 69)" ] || fail "a fresh file stores no selection"
[ "$(grep -c $'\r$' "$game/Qimdat.dat")" -eq 77 ] || fail "line ends are not CR LF"

keys_to "$main" ctrl+q
ended "$dorvane_pid" 10 || fail "Ctrl+Q did not end the program"
[ "$(line "$game/Qimdat.dat" 69)" = 0 ] || fail "selection after quit: $(line "$game/Qimdat.dat" 69)"
[ "$(wc -l <"$game/Qimdat.dat")" -eq 77 ] || fail "Qimdat.dat does not have 77 lines after quit"
ls "$game" | grep -qv '^Qimdat.dat$' && fail "files left beside Qimdat.dat: $(ls "$game")"
echo "first run passed"
