#!/usr/bin/env bash
# Installs what the builds and tests need from Debian's packages, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest           # native build and tests
  g++-mingw-w64-x86-64-posix                 # Windows build
  binutils-mingw-w64-x86-64                  # windres
  wine wine64                                # running the Windows build
  xvfb xauth                                 # a display for windows under test
  fonts-liberation fonts-wqy-microhei        # the fonts tools/wine-fonts.sh pins for Wine
  clang libclang-rt-14-dev                   # fuzz targets
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]} (run as root, or install them)" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
