#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in $DORVANE_BUILD/package (preset package: Release, the system's
# shared FLTK and libjpeg, under /usr, with Debian's hardening flags) and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVANE_BUILD:-$root/build}/package
# Debian's hardening and optimisation flags, as a Debian build would use them (read on the first
# configure of the folder).
eval "$(cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
(cd "$root" && cmake --preset package -B "$build" >/dev/null)
cmake --build "$build" -j 2 >&2
rm -f "$build"/dorvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/dorvane_*.deb
