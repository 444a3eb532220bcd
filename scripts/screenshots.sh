#!/usr/bin/env bash
# Saves pictures of the program's windows as PNG files in build/shots (or the folder given),
# taken by the screenshot tests under Wine with an X display (run scripts/build.sh first):
#   bash scripts/screenshots.sh main      the main window: start-up, searching, found, sorted,
#                                         the Edit menu open
#   bash scripts/screenshots.sh pages     each page of the option sheet
#   bash scripts/screenshots.sh actions   the About box and the three context menus
#   bash scripts/screenshots.sh all [folder]
# With --dpi N first (144 for a 150 % screen, 192 for 200 %) the windows are drawn at N dots per
# inch (the prefix's LogPixels, set back to 96 at the end) into build/shots/dpiN by default:
#   bash scripts/screenshots.sh --dpi 192 all
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=$2; shift 2; fi
what=${1:-all}
shots="$root/build/shots"
[ "$dpi" = 96 ] || shots="$root/build/shots/dpi$dpi"
# A window at 192 DPI is twice its size: the screen grows with it.
[ "$dpi" -gt 120 ] && export CORVASK_SCREEN=2560x2048x24 CORVASK_FORCE_XVFB=1
out=$(realpath -m "${2:-$shots}")
mkdir -p "$out"
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
logpixels() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
  timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
}
if [ "$dpi" != 96 ]; then
  logpixels "$dpi"
  trap 'logpixels 96' EXIT
fi
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
# The registration's wineserver, and the desktop it started without a display, must be gone:
# a program joining them could open no window.
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
# The tests write BMP files where CORVASK_SHOTS points (a Windows path on drive Z:).
export CORVASK_SHOTS="Z:$out"

# Each run has a display of its own: its wineserver and desktop end with it.
shoot() { # test executable, gtest filter
  local failed=0
  bash "$root/scripts/with-display.sh" \
      bash "$root/scripts/wine-exec.sh" "$root/build/cmake/tests/$1.exe" --gtest_filter="$2" \
      </dev/null >"$out/last-run.txt" 2>&1 || failed=1
  wineserver -k >/dev/null 2>&1 </dev/null || true
  timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
  [ $failed = 0 ] || { echo "screenshots.sh: the $2 run failed, see $out/last-run.txt" >&2; exit 1; }
}
case "$what" in
  main) shoot test_ui 'MainDialog.Shots' ;;
  pages) shoot test_options 'OptionSheetShots.*' ;;
  actions) shoot test_actions 'ResultContextMenu.*:AboutBox.*' ;;
  all)
    shoot test_ui 'MainDialog.Shots'
    shoot test_options 'OptionSheetShots.*'
    shoot test_actions 'ResultContextMenu.*:AboutBox.*' ;;
  *) echo "usage: screenshots.sh main|pages|actions|all [folder]" >&2; exit 2 ;;
esac
for bmp in "$out"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls -1 "$out"/*.png
