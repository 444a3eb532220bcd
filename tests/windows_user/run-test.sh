#!/usr/bin/env bash
# The Windows user's test. First, natively, the release in <dist> as scripts/package.sh made it
# for the build's target `packages`: both builds' installers and zips, their checksums, what the
# zips hold (the program in this build's zip is the one the tests ran, stripped as packaging
# strips it), and the same bytes from a second packaging. Then, in a prefix of its own made fresh
# for each run (nothing of the other tests' prefix, no lab network), a user's path with this
# build's installer and zip: the portable zip is unpacked into a folder with a blank in its name.
#   run-test.sh <test program> <dist> <prefix to make> <this build's Corvask.exe> <other build's>
set -euo pipefail
test_program=$(realpath "$1")
dist=$(realpath -m "$2")
program=$(realpath "$4")
other_program=$(realpath -m "$5")
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "[  FAILED  ] $*"; exit 1; }
# Stripping writes this time into the program's header, as packaging does (scripts/package.sh).
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)}

# The build's architecture and the other one's, as the packages name them.
if file -b "$program" | grep -q x86-64; then own=x64 other=x86 beside=cmake32 target=i686
else own=x86 other=x64 beside=cmake64 target=x86_64; fi
version=$(sed -n 's/^project(Corvask VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -f "$other_program" ] || fail "no $other program to package: build it beside this build with
  CORVASK_ARCH=$target CORVASK_BUILD_NAME=$beside bash scripts/build.sh --target Corvask
and build again (scripts/test.sh does both)"

echo "run-test.sh: the packages, natively"
[ -f "$dist/SHA256SUMS" ] || fail "no packages in $dist: build the target 'packages' (needs makensis)"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages"
expected=$(printf "Corvask-$version-%s\n" x64-setup.exe x64-portable.zip x86-setup.exe x86-portable.zip)
[ "$(awk '{print $2}' "$dist/SHA256SUMS")" = "$expected" ] ||
  fail "SHA256SUMS lists:"$'\n'"$(cat "$dist/SHA256SUMS")"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
for arch in x64 x86; do
  [ $arch = x64 ] && format='PE32\+ executable.*x86-64' || format='PE32 executable.*Intel 80386'
  [ $arch = $own ] && built=$program || built=$other_program
  name=Corvask-$version-$arch
  file -b "$dist/$name-setup.exe" | grep -Eq "^$format" ||
    fail "$name-setup.exe is $(file -b "$dist/$name-setup.exe")"
  listed=$(unzip -Z1 "$dist/$name-portable.zip")
  [ "$listed" = "$(printf "$name/%s\n" Corvask.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)" ] ||
    fail "$name-portable.zip holds:"$'\n'"$listed"
  unzip -q "$dist/$name-portable.zip" -d "$unpacked"
  file -b "$unpacked/$name/Corvask.exe" | grep -Eq "^$format" || fail "the program in $name-portable.zip is not $arch"
  [ $arch = x64 ] && strip=x86_64-w64-mingw32-strip || strip=i686-w64-mingw32-strip
  $strip --strip-debug -o "$unpacked/$arch.exe" "$built"
  cmp -s "$unpacked/$arch.exe" "$unpacked/$name/Corvask.exe" ||
    fail "the program in $name-portable.zip is not $built"
  grep -q "Corvask-$version-$arch-setup.exe" "$unpacked/$name/README.txt" ||
    fail "README.txt of $name names another installer"
done
bash "$root/scripts/package.sh" --$own "$program" --$other "$other_program" --out "$unpacked/again" >/dev/null
for f in SHA256SUMS $expected; do
  cmp "$dist/$f" "$unpacked/again/$f" || fail "packaging again gave another $f (are the packages of an older commit? build again)"
done

# A Wine without 32-bit support (wine64 alone) cannot start a 32-bit installer at all.
if [ $own = x86 ] && [ "$(bash "$root/scripts/arch.sh")" != i686 ]; then
  echo "windows_user skipped: this machine cannot run the 32-bit installer; the packages were checked natively"
  exit 0
fi
setup="$dist/Corvask-$version-$own-setup.exe"
zip="$dist/Corvask-$version-$own-portable.zip"

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
unzip -q "$zip" -d "$programs" || fail "unzip"
portable=$(ls "$programs"/Corvask-*/Corvask.exe)

echo "run-test.sh: the user's path with $(basename "$setup")"
CORVASK_SETUP=$(winepath -w "$setup") CORVASK_PORTABLE=$(winepath -w "$portable") \
  wine "$test_program"
