#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows programs of a release unpacked in FOLDER: their version, an unknown option, and
# the first run in a game folder named on the command line.
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
