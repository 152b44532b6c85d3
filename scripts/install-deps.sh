#!/usr/bin/env bash
# Installs the Debian packages that building and testing Dorvane need, and only those missing.
set -euo pipefail

packages=(
  cmake make clang libclang-rt-14-dev g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libfltk1.3-dev libx11-dev libxtst-dev libxext-dev libjpeg-dev libxcursor-dev libxinerama-dev
  libxft-dev libfontconfig-dev
  xvfb xfonts-base openbox xdotool x11-utils imagemagick fonts-urw-base35
  # The Windows build (mingw-w64, with GoogleTest's sources) and its tests under Wine.
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64 file
  libxrandr2 libxrender1 libxi6 libxcomposite1
  # Debian's 32-bit Wine, which runs the 32-bit Windows build and its tests.
  wine32:i386
)
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
