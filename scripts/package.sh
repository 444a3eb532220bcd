#!/usr/bin/env bash
# Builds Corvask from scratch and writes the release into dist/:
#   Corvask-VERSION-setup.exe     the installer (NSIS)
#   Corvask-VERSION-portable.zip  the program, README.txt, the licence and the third-party notices
#   SHA256SUMS                    checksums of both
# Two runs on the same commit give the same bytes: file times and the PE header's time stamp
# come from SOURCE_DATE_EPOCH (the time of the last commit unless set), the archive's entries
# have a fixed order, times and modes. The release holds the 32-bit program; the tests package
# a program of their own build with --exe.
#
#   bash scripts/package.sh                      from scratch, into dist/
#   bash scripts/package.sh --exe FILE --out DIR package a program already built (the tests do)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=""
out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --exe) exe=$(realpath "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: package.sh [--exe Corvask.exe] [--out folder]" >&2; exit 2 ;;
  esac
done

version=$(sed -n 's/^project(Corvask VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

if [ -z "$exe" ]; then
  bash "$root/scripts/setup.sh"
  command -v makensis >/dev/null || { echo "package.sh: makensis is missing (Debian package nsis)" >&2; exit 1; }
  # The 32-bit program as it ships, whatever this machine's tests run on.
  CORVASK_ARCH=i686 CORVASK_BUILD_NAME=package bash "$root/scripts/build.sh" --clean --target Corvask
  exe="$root/build/package/bin/Corvask.exe"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage="$work/Corvask-$version"
mkdir -p "$stage"
# The program without its debug records: the same code the tests ran, a third of the size.
if file -b "$exe" | grep -q x86-64; then
  # Only a test machine that cannot run 32-bit code packages a 64-bit build (the tests do).
  echo "package.sh: packaging a 64-bit build of Corvask, with a 64-bit installer: $exe"
  strip=x86_64-w64-mingw32-strip
  target=(-DAMD64)
else
  strip=i686-w64-mingw32-strip
  target=()
fi
$strip --strip-debug -o "$stage/Corvask.exe" "$exe"
# Text files with Windows line ends, so that every Notepad shows them as lines.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"; }
sed "s/@VERSION@/$version/g" "$root/packaging/README.txt" >"$work/README.txt"
crlf "$work/README.txt" "$stage/README.txt"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
crlf "$root/packaging/THIRD-PARTY-NOTICES.txt" "$stage/THIRD-PARTY-NOTICES.txt"
files=(Corvask.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
chmod 644 "$stage"/*
chmod 755 "$stage"
touch -h -d "@$SOURCE_DATE_EPOCH" "$stage" "$stage"/*

mkdir -p "$out"
setup="Corvask-$version-setup.exe"
portable="Corvask-$version-portable.zip"
rm -f "$out/$setup" "$out/$portable" "$out/SHA256SUMS"

makensis -V2 -NOCD "${target[@]}" -DVERSION="$version" -DSTAGE="$stage" \
         -DICON="$root/src/resources/art/corvask.ico" -DOUTFILE="$out/$setup" \
         "$root/packaging/Corvask.nsi" >"$work/makensis.log" ||
  { cat "$work/makensis.log" >&2; exit 1; }

# One folder holding the files, in a fixed order, with no extra (owner, time) fields.
(cd "$work" && zip -X -D -9 -q "$out/$portable" \
    "${files[@]/#/Corvask-$version/}")

(cd "$out" && sha256sum "$setup" "$portable" >SHA256SUMS)
echo "package.sh: $out/$setup"
echo "package.sh: $out/$portable"
