#!/usr/bin/env bash
# Saves pictures of the About box and of the result list's three context menus as PNG files in
# build/shots (or the folder given), using the actions test under Wine with an X display.
# Usage: bash scripts/screenshot-actions.sh [folder]    (run scripts/build.sh first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/shots}")
mkdir -p "$out"
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# The tests write BMP files where CORVASK_SHOTS points (a Windows path on drive Z:).
export CORVASK_SHOTS="Z:$out"
bash "$root/scripts/with-display.sh" \
    bash "$root/scripts/wine-exec.sh" "$root/build/cmake/tests/test_actions.exe" \
    --gtest_filter='ResultContextMenu.*:AboutBox.*'
wineserver -k >/dev/null 2>&1 </dev/null || true
for bmp in "$out"/menu-*.bmp "$out"/about.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls -1 "$out"/menu-*.png "$out"/about.png
