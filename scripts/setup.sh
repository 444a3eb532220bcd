#!/usr/bin/env bash
# Installs the tool chain when something is missing; a second run does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
install() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then $SUDO dpkg --add-architecture i386; fi
  echo "setup: installing $*"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
