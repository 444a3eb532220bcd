#!/usr/bin/env bash
# Checks that every program and DLL of the build is PE32 (Intel 80386) and imports system DLLs
# only, so each runs on Windows as it is. A 64-bit test build (scripts/arch.sh) is PE32+ x86-64.
# The packages in dist/ hold the installer's own stub, which is not the build's.
set -euo pipefail
build=$1
arch=$(cat "$build/.arch" 2>/dev/null || echo i686)
if [ "$arch" = x86_64 ]; then format='^PE32\+ executable.*x86-64'; objdump=x86_64-w64-mingw32-objdump
else format='^PE32 executable.*Intel 80386'; objdump=i686-w64-mingw32-objdump; fi
system='^(advapi32|comctl32|comdlg32|gdi32|kernel32|mpr|msvcrt|ole32|oleaut32|shell32|shlwapi|user32|version)\.dll$'
status=0
count=0
while IFS= read -r -d '' f; do
  count=$((count + 1))
  if ! file -b "$f" | grep -Eq "$format"; then
    echo "not $arch: $f"; status=1
  fi
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
      echo "$f imports $dll"; status=1
    fi
  done < <($objdump -p "$f" | awk '/DLL Name:/ {print $3}')
done < <(find "$build" \( -name '*.exe' -o -name '*.dll' \) -not -path '*/CMakeFiles/*' -not -path '*/dist/*' -print0)
echo "$count binaries checked"
[ "$count" -gt 0 ] || status=1
exit $status
