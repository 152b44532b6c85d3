#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: builds it (Release, the system's shared FLTK and libjpeg, installed under
# /usr) in $DORVANE_BUILD/package, checks it with lintian (no errors allowed), installs it with
# apt-get so that its declared dependencies are resolved, runs end-to-end scenarios against
# the installed /usr/games/dorvane (Debian's place for games), and removes the package again,
# also when a step fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)

if dpkg-query -W -f='${Status}' dorvane 2>/dev/null | grep -q "install ok installed"; then
  echo "this check installs and removes its own dorvane package: remove yours"
  exit 1
fi

deb=$("$root/scripts/build-package.sh")
echo "== $deb"
dpkg-deb --field "$deb"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'

# lintian exits non-zero on errors; warnings and notes are shown but allowed.
echo "== lintian"
lintian --display-level '>=info' "$deb" || { echo "lintian found errors"; exit 1; }

remove() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq dorvane >/dev/null
  echo "== removed the package"
}
trap remove EXIT
echo "== installing"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
program=/usr/games/dorvane
[ -x "$program" ] || { echo "the package put no program at $program"; exit 1; }
libraries=$(ldd "$program")
# The mascot's JPEGs are decoded by FLTK's image library, which brings the shared libjpeg.
for library in libfltk libfltk_images libjpeg; do
  grep -q "$library\.so" <<<"$libraries" || { echo "the program loads no shared $library"; exit 1; }
done
grep -q 'libfltk-images1\.3' <<<"$(dpkg-deb -f "$deb" Depends)" ||
  { echo "the package does not depend on FLTK's image library"; exit 1; }

echo "== end-to-end against $program"
for scenario in test_main_session test_main_look; do
  DORVANE=$program python3 "$root/tests/e2e/$scenario.py"
  echo "$scenario: passed"
done
trap - EXIT
remove
[ ! -e "$program" ] || { echo "$program is still there after removal"; exit 1; }
echo "package check passed"
