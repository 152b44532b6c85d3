#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A release's Windows programs in FOLDER: --version, an unknown option, a first run elsewhere.
#   release_start.sh WINDOWS_BUILD FOLDER VERSION
source "$(dirname "$0")/wine.sh" "$1" 64
start_wine_desktop
for arch in x64 x86; do
  exe=$2/dorvane-$3-windows-$arch/dorvane.exe
  said=$(wine "$exe" --version | tr -d '\r') || fail "$arch: --version failed"
  [ "$said" = "Dorvane $3" ] || fail "$arch: --version said \"$said\""
  status=$(wine "$exe" --frobnicate 2>"$work/said" >/dev/null; echo $?)
  [ "$status" = 2 ] && grep -q "unknown option --frobnicate" "$work/said" ||
    fail "$arch: an unknown option gave status $status: $(cat "$work/said")"
  mkdir "$work/$arch"
  start_dorvane "$work" "$exe" "Z:${work//\//\\}\\$arch"
  first_run "$work/$arch"
  quit ctrl+q
  [ ! -e "$work/Qimdat.dat" ] || fail "$arch: a catalogue in the folder it was started from"
done
