#!/usr/bin/env bash
# Writes the release into dist/: for each of the two builds of Corvask, x64 (64-bit Windows, the
# build the tests run) and x86 (32-bit Windows),
#   Corvask-VERSION-ARCH-setup.exe     the installer (NSIS; the x64 one is a 64-bit program)
#   Corvask-VERSION-ARCH-portable.zip  the program, README.txt, the licence and the notices
# and one SHA256SUMS over all of them. Two runs on the same commit give the same bytes: file
# times come from SOURCE_DATE_EPOCH (the time of the last commit unless set; the programs carry
# no link time), the archives' entries have a fixed order, times and modes.
#
#   bash scripts/package.sh                        builds both programs from scratch
#                                                  (build/package-x64, build/package-x86)
#   bash scripts/package.sh [--x64 EXE] [--x86 EXE] [--out DIR]
#                                                  packages programs already built (the build's
#                                                  target `packages` does, so nothing is built twice)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
declare -A exe=()
out="$root/dist"
usage() { echo "usage: package.sh [--x64 Corvask.exe] [--x86 Corvask.exe] [--out folder]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --x64|--x86) [ -f "$2" ] || { echo "package.sh: no program $2" >&2; exit 1; }
                 exe[${1#--}]=$(realpath "$2") ;;
    --out) out=$(realpath -m "$2") ;;
    *) usage ;;
  esac
  shift 2
done

version=$(sed -n 's/^project(Corvask VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

if [ ${#exe[@]} -eq 0 ]; then
  bash "$root/scripts/setup.sh"
  # Both programs as they ship, whatever this machine's tests run on.
  for arch in x64 x86; do
    [ $arch = x64 ] && target=x86_64 || target=i686
    CORVASK_ARCH=$target CORVASK_BUILD_NAME=package-$arch bash "$root/scripts/build.sh" --clean --target Corvask
    exe[$arch]="$root/build/package-$arch/bin/Corvask.exe"
  done
fi
command -v makensis >/dev/null || { echo "package.sh: makensis is missing (Debian package nsis)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/Corvask-*-setup.exe "$out"/Corvask-*-portable.zip "$out/SHA256SUMS"
# Text files with Windows line ends, so that every Notepad shows them as lines.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"; }
made=()

for arch in x64 x86; do
  [ -n "${exe[$arch]:-}" ] || continue
  case $arch in
    x64) format='PE32\+ executable.*x86-64'; strip=x86_64-w64-mingw32-strip; bits=64; nsis=(-DAMD64) ;;
    x86) format='PE32 executable.*Intel 80386'; strip=i686-w64-mingw32-strip; bits=32; nsis=() ;;
  esac
  file -b "${exe[$arch]}" | grep -Eq "^$format" ||
    { echo "package.sh: ${exe[$arch]} is not the $arch program: $(file -b "${exe[$arch]}")" >&2; exit 1; }
  name="Corvask-$version-$arch"
  stage="$work/$name"
  mkdir -p "$stage"
  # The program without its debug records: the same code the tests ran, a third of the size.
  $strip --strip-debug -o "$stage/Corvask.exe" "${exe[$arch]}"
  sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e "s/@BITS@/$bits/g" \
      "$root/packaging/README.txt" >"$work/README-$arch.txt"
  crlf "$work/README-$arch.txt" "$stage/README.txt"
  crlf "$root/LICENSE" "$stage/LICENSE.txt"
  crlf "$root/packaging/THIRD-PARTY-NOTICES.txt" "$stage/THIRD-PARTY-NOTICES.txt"
  files=(Corvask.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
  chmod 644 "$stage"/*
  chmod 755 "$stage"
  touch -h -d "@$SOURCE_DATE_EPOCH" "$stage" "$stage"/*

  makensis -V2 -NOCD "${nsis[@]}" -DVERSION="$version" -DBITS=$bits -DSTAGE="$stage" \
           -DICON="$root/src/resources/art/corvask.ico" -DOUTFILE="$out/$name-setup.exe" \
           "$root/packaging/Corvask.nsi" >"$work/makensis.log" ||
    { cat "$work/makensis.log" >&2; exit 1; }
  # One folder holding the files, in a fixed order, with no extra (owner, time) fields.
  (cd "$work" && zip -X -D -9 -q "$out/$name-portable.zip" "${files[@]/#/$name/}")
  made+=("$name-setup.exe" "$name-portable.zip")
done

(cd "$out" && sha256sum "${made[@]}" >SHA256SUMS)
printf 'package.sh: %s\n' "${made[@]/#/$out/}" "$out/SHA256SUMS"
