#!/usr/bin/env bash
# Checks that every program and DLL of the build is PE32 (Intel 80386) and imports system DLLs
# only, so each runs on Windows as it is.
set -euo pipefail
build=$1
system='^(advapi32|comctl32|comdlg32|gdi32|kernel32|mpr|msvcrt|ole32|oleaut32|shell32|shlwapi|user32|version)\.dll$'
status=0
count=0
while IFS= read -r -d '' f; do
  count=$((count + 1))
  if ! file -b "$f" | grep -q '^PE32 executable.*Intel 80386'; then
    echo "not PE32 i386: $f"; status=1
  fi
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
      echo "$f imports $dll"; status=1
    fi
  done < <(i686-w64-mingw32-objdump -p "$f" | awk '/DLL Name:/ {print $3}')
done < <(find "$build" \( -name '*.exe' -o -name '*.dll' \) -not -path '*/CMakeFiles/*' -print0)
echo "$count binaries checked"
[ "$count" -gt 0 ] || status=1
exit $status
