#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: builds it (Release, the system's shared FLTK and libjpeg, installed under
# /usr) in $DORVANE_BUILD/package, checks it with lintian (no errors allowed), installs it with
# apt-get so that its declared dependencies are resolved, runs end-to-end scenarios against
# the installed /usr/games/dorvane (Debian's place for games), and removes the package again,
# also when a step fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if dpkg-query -W -f='${Status}' dorvane 2>/dev/null | grep -q "install ok installed"; then
  echo "A dorvane package is installed on this machine already; the check installs and removes"
  echo "its own, so remove that one first (apt-get remove dorvane)."
  exit 1
fi

deb=$("$root/scripts/build-package.sh")
echo "== $deb"
dpkg-deb --field "$deb"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'

# lintian exits non-zero on errors; warnings and notes are shown but allowed.
echo "== lintian"
lintian --display-level '>=info' "$deb" || { echo "lintian found errors"; exit 1; }
echo "lintian: no errors"

removed=0
remove() {
  [ $removed -eq 1 ] && return
  removed=1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq dorvane >/dev/null
  echo "== removed the package"
}
trap remove EXIT
echo "== installing"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
program=/usr/games/dorvane
[ -x "$program" ] || { echo "the package put no program at $program"; exit 1; }
libraries=$(ldd "$program")
echo "linked: $(grep -Eo 'lib(fltk|jpeg)[^ ]*' <<<"$libraries" | sort -u | tr '\n' ' ')"
grep -q 'libfltk\.so' <<<"$libraries" || { echo "the program does not link the shared FLTK"; exit 1; }
# The mascot's JPEGs are decoded by FLTK's image library, which brings the shared libjpeg.
grep -q 'libfltk_images\.so' <<<"$libraries" ||
  { echo "the program does not link FLTK's shared image library"; exit 1; }
grep -q 'libjpeg\.so' <<<"$libraries" || { echo "the program does not load the shared libjpeg"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
grep -q 'libfltk-images1\.3' <<<"$depends" ||
  { echo "the package does not depend on FLTK's image library"; exit 1; }

echo "== end-to-end against $program"
for scenario in test_main_session test_main_look; do
  DORVANE=$program python3 "$root/tests/e2e/$scenario.py"
  echo "$scenario: passed"
done
remove
[ ! -e "$program" ] || { echo "$program is still there after removal"; exit 1; }
echo "package check passed"
