#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages: both
# mingw-w64 cross compilers (the shipped i686 pair and the x86-64 test build),
# both Wines (32-bit runs only where the host's kernel runs i386 code), and
# clang with its sanitizer and libFuzzer runtime for the fuzz targets, and
# ccache, which the builds use where it is present.
# Quick when everything is already there; needs root on a fresh machine.
#
# Usage: scripts/setup.sh [screenshots]
#   screenshots  also installs what scripts/screenshots.sh needs
#                (ImageMagick and xdotool)
set -euo pipefail

case "${1:-}" in
  --help | -h)
    sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'
    exit 0 ;;
  "" | screenshots) ;;
  *)
    echo "scripts/setup.sh: unknown argument '$1' (try --help)" >&2
    exit 2 ;;
esac

packages=(
  cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth x11-utils x11-apps
  minimodem sox python3 libasound2:i386 libasound2
  nsis p7zip-full
  clang libclang-rt-14-dev ccache
)
# "scripts/setup.sh screenshots" also installs what scripts/screenshots.sh
# needs to grab and crop pictures of the screen and click the tray.
if [ "${1:-}" = screenshots ]; then
  packages+=(imagemagick xdotool)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: must run as root to install packages" >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
