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
  # The launcher with the real engines: DOSBox with a DOS program assembled with nasm, and Wine's
  # 32-bit loader beside the 64-bit one.
  dosbox nasm wine32:i386
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
# wine32 is a package of the i386 architecture.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
