#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows programs of a release, unpacked in FOLDER (scripts/test-release.sh): each prints
# its version, refuses an unknown option with status 2, and started elsewhere with a game
# folder named on its command line has its first run there.
#   release_start.sh WINDOWS_BUILD FOLDER VERSION
source "$(dirname "$0")/wine.sh" "$1" 64
unpacked=$2
version=$3
start_wine_desktop
main="Dorvane (Duke3d Map Loader)"
for arch in x64 x86; do
  exe=$unpacked/dorvane-$version-windows-$arch/dorvane.exe
  said=$(wine "$exe" --version | tr -d '\r') || fail "$arch: --version failed"
  [ "$said" = "Dorvane $version" ] || fail "$arch: --version said \"$said\""
  status=0
  wine "$exe" --frobnicate 2>"$work/said" || status=$?
  [ $status -eq 2 ] && grep -q "unknown option --frobnicate" "$work/said" ||
    fail "$arch: an unknown option gave status $status: $(cat "$work/said")"
  game=$work/game-$arch
  mkdir -p "$game"
  (cd "$work" && exec wine "$exe" "Z:${game//\//\\}") >/dev/null 2>&1 &
  dorvane_pid=$!
  probe wait Dorvane 30 | grep -q "Qimdat.dat has been created" || fail "$arch: no first run"
  keys_to Dorvane Return
  probe wait "$main" 10 >/dev/null || fail "$arch: no main window"
  keys_to "$main" ctrl+q
  ended "$dorvane_pid" 10 || fail "$arch: Ctrl+Q did not end the program"
  [ "$(wc -l <"$game/Qimdat.dat")" -eq 77 ] || fail "$arch: no catalogue in the game folder"
  [ ! -e "$work/Qimdat.dat" ] || fail "$arch: a catalogue in the folder it was started from"
  echo "$arch: started from the release"
done
