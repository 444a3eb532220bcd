#!/usr/bin/env bash
# Installs the tool chain when something is missing; a second run does nothing. Every install
# goes through scripts/apt-install.sh, which rides out a package mirror in the middle of a sync.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
install() { bash "$root/scripts/apt-install.sh" "$@"; }
# The architecture probe is compiled natively.
command -v gcc >/dev/null || install gcc libc6-dev

packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
          imagemagick cmake googletest make file g++ xdotool x11-utils nsis zip unzip fonts-wine
          locales)
# Wine's 32-bit loader (and with it Debian's i386 architecture) only where 32-bit code runs and
# the tests run the 32-bit program: the machine's own answer, and the one CORVASK_ARCH chose.
runs32=$(CORVASK_ARCH="" bash "$root/scripts/arch.sh")
if [ "$runs32" = i686 ] && [ "$(bash "$root/scripts/arch.sh")" = i686 ]; then
  packages+=(wine32:i386)
elif [ "$runs32" != i686 ] &&
     dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  # Where 32-bit code cannot run, Wine's 32-bit loader only makes every 64-bit start wait for it.
  echo "setup: removing wine32 (this machine cannot run 32-bit code)"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq wine32:i386 libwine:i386 >/dev/null
fi

install "${packages[@]}"

# Window tests run the program under the Japanese and Chinese (Traditional) code pages, which
# Wine takes from the Linux locale: both must exist. `locale -a` spells them ja_JP.utf8.
for name in ja_JP zh_TW; do
  if ! locale -a 2>/dev/null | grep -qiE "^$name\.utf-?8$"; then
    echo "setup: making the locale $name.UTF-8"
    $SUDO localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
