#!/usr/bin/env bash
# Saves pictures of the main window (after start-up, during a search, with rows, sorted, with
# the Edit menu open) as PNG files in build/shots (or the folder given), using the ui test under
# Wine with an X display. Usage: bash scripts/screenshot-main.sh [folder]  (build first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/shots}")
mkdir -p "$out"
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
export CORVASK_SHOTS="Z:$out"
bash "$root/scripts/with-display.sh" \
    bash "$root/scripts/wine-exec.sh" "$root/build/cmake/tests/test_ui.exe" \
    --gtest_filter='MainDialog.Shots'
for bmp in "$out"/main-*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls -1 "$out"/main-*.png
