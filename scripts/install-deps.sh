#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Dorvane needs, and only those missing.
#
#   install-deps.sh [build|test] [PACKAGE...]
#
# build: what building and running the program (and the demo, also in a virtual X server)
#        needs; scripts/demo.sh installs only these.
# test:  those and what the tests, the Windows cross builds and the package check need
#        (the default). Further arguments are more packages to install.
set -euo pipefail

# Building and running the program, and the demo's virtual X server and screenshot.
build_packages=(
  cmake make g++ pkg-config python3 gzip
  libfltk1.3-dev libx11-dev libxtst-dev libxext-dev libjpeg-dev libxcursor-dev libxinerama-dev
  libxft-dev libfontconfig-dev
  xvfb xfonts-base openbox xdotool x11-utils imagemagick fonts-urw-base35
)

# The tests: GoogleTest, Google Benchmark, clang for the fuzz target, the Windows build
# (mingw-w64, with GoogleTest's sources) and its tests under Wine, and the package check.
test_packages=(
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64 file
  libxrandr2 libxrender1 libxi6 libxcomposite1
  dpkg-dev lintian appstream desktop-file-utils icoutils man-db
  # Reads back the text the end-to-end tests type into text boxes; listens to the desktop's
  # startup notification messages.
  xclip python3-xlib
  # The launcher with the real engines (DOSBox with a DOS program assembled with nasm), and
  # Debian's 32-bit Wine, which runs the 32-bit Windows build and its tests.
  dosbox nasm wine32:i386
  # Sets the ACLs and extended attributes that a save must keep.
  acl attr
  # Packs and unpacks the Windows release files.
  zip unzip
)

set_name=test
case "${1:-}" in
  build | test) set_name=$1; shift ;;
esac
packages=("${build_packages[@]}")
[ "$set_name" = test ] && packages+=("${test_packages[@]}")
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
# Packages of another architecture need it added before the package lists are read.
for p in "${missing[@]}"; do
  arch=${p#*:}
  if [ "$arch" != "$p" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    $sudo dpkg --add-architecture "$arch"
  fi
done
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
