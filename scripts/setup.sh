#!/usr/bin/env bash
# Installs the tool chain when something is missing; a second run does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
install() { bash "$root/scripts/apt-install.sh" "$@"; }
# The architecture probe is compiled natively.
command -v gcc >/dev/null || install gcc libc6-dev

packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
          imagemagick cmake googletest make file g++ xdotool x11-utils nsis zip unzip fonts-wine)
if [ "$(bash "$root/scripts/arch.sh")" = i686 ]; then
  packages+=(wine32:i386)
elif dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  # Where 32-bit code cannot run, Wine's 32-bit loader only makes every 64-bit start wait for it.
  echo "setup: removing wine32 (this machine cannot run 32-bit code)"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq wine32:i386 libwine:i386 >/dev/null
fi

install "${packages[@]}"
