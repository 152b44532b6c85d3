#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows programs of a release, unpacked in FOLDER (scripts/test-release.sh): each prints
# its version, refuses an unknown option with status 2, and started elsewhere with a game
# folder named on its command line has its first run there.
#   release_start.sh WINDOWS_BUILD FOLDER VERSION
source "$(dirname "$0")/wine.sh" "$1" 64
version=$3
start_wine_desktop
for arch in x64 x86; do
  exe=$2/dorvane-$version-windows-$arch/dorvane.exe
  said=$(wine "$exe" --version | tr -d '\r') || fail "$arch: --version failed"
  [ "$said" = "Dorvane $version" ] || fail "$arch: --version said \"$said\""
  status=0
  wine "$exe" --frobnicate 2>"$work/said" || status=$?
  [ $status -eq 2 ] && grep -q "unknown option --frobnicate" "$work/said" ||
    fail "$arch: an unknown option gave status $status: $(cat "$work/said")"
  mkdir "$work/$arch"
  start_dorvane "$work" "$exe" "Z:${work//\//\\}\\$arch"
  first_run "$work/$arch"
  quit ctrl+q
  [ ! -e "$work/Qimdat.dat" ] || fail "$arch: a catalogue in the folder it was started from"
done
