#!/usr/bin/env bash
# Runs the Windows user's test in a prefix of its own, made fresh for each run (nothing of the
# other tests' prefix, no lab network): the packages that the build wrote into <build>/dist are
# what the user downloads; the portable zip is unpacked into a folder with a blank in its name.
# First, natively: the checksums hold, the zip holds what a user needs, and packaging the same
# program twice gives the same bytes.
#   run-test.sh <test program> <folder of the packages> <prefix to make> <packaged program>
set -euo pipefail
test_program=$(realpath "$1")
dist=$(realpath -m "$2")
packaged=$(realpath "$4")
root=$(cd "$(dirname "$0")/../.." && pwd)
setup=$(ls "$dist"/Corvask-*-setup.exe 2>/dev/null | head -1)
zip=$(ls "$dist"/Corvask-*-portable.zip 2>/dev/null | head -1)
if [ -z "$setup" ] || [ -z "$zip" ]; then
  echo "[  FAILED  ] no packages in $dist: build the target 'packages' (needs makensis)"
  exit 1
fi
fail() { echo "[  FAILED  ] $*"; exit 1; }

echo "run-test.sh: the packages, natively"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages"
version=$(basename "$zip" -portable.zip)
expected=$(printf "$version/%s\n" Corvask.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
listed=$(unzip -Z1 "$zip")
[ "$listed" = "$expected" ] || fail "the zip holds:"$'\n'"$listed"
twice=$(mktemp -d)
trap 'rm -rf "$twice"' EXIT
for run in 1 2; do
  bash "$root/scripts/package.sh" --exe "$packaged" --out "$twice/$run" >/dev/null
done
cmp "$twice/1/$(basename "$setup")" "$twice/2/$(basename "$setup")" || fail "two installers differ"
cmp "$twice/1/$(basename "$zip")" "$twice/2/$(basename "$zip")" || fail "two zips differ"

# A Wine without 32-bit support (wine64 alone) cannot start the 32-bit release at all.
if ! file -b "$setup" | grep -q x86-64 && [ "$(bash "$root/scripts/arch.sh")" != i686 ]; then
  echo "windows_user skipped: this machine cannot run the 32-bit installer; the packages were checked natively"
  exit 0
fi
if file -b "$setup" | grep -q x86-64; then
  echo "run-test.sh: this machine cannot run 32-bit code: testing a 64-bit installer of the 64-bit build"
fi

export WINEPREFIX=$(realpath -m "$3") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A server of the last run must be gone, not ending, before the new prefix boots.
wineserver -k >/dev/null 2>&1 </dev/null || true
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
# A shared folder (the test machine's) may refuse to delete a tree at once: it moves aside.
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock" 2>/dev/null ||
  { mv "$WINEPREFIX" "$WINEPREFIX.old.$$"; rm -rf "$WINEPREFIX.old.$$" 2>/dev/null || true; }
echo "run-test.sh: making a fresh prefix in $WINEPREFIX"
# Booted without the display, as the other scripts boot theirs (wineboot then shows nothing).
env -u DISPLAY bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX" ||
  { echo "[  FAILED  ] no prefix"; ls -la "$WINEPREFIX"; exit 1; }
source "$root/scripts/wine-session.sh"

# Anywhere will do: a folder of the user's own, with a blank in its name.
programs="$WINEPREFIX/drive_c/users/Public/My Programs"
mkdir -p "$programs"
unzip -q "$zip" -d "$programs" || { echo "[  FAILED  ] unzip"; exit 1; }
portable=$(ls "$programs"/Corvask-*/Corvask.exe)

echo "run-test.sh: the user's path"
CORVASK_SETUP=$(winepath -w "$setup") CORVASK_PORTABLE=$(winepath -w "$portable") \
  wine "$test_program"
