#!/usr/bin/env bash
# Runs Corvask on the demo LAN: installs and builds what is missing, prepares a Wine prefix of
# its own (build/run-wine), registers the lab network with the demo LAN and starts the program.
# With a display the window opens there; without one it runs on a private virtual display,
# presses Search Now, and saves a picture of the window after the search.
# Usage: bash scripts/run.sh [FILE.opt | FILE.sr]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$root/build/run-wine"
shots="$root/build/shots"
exe="$root/build/cmake/bin/Corvask.exe"

bash "$root/scripts/setup.sh"
# Incremental: a second run rebuilds nothing that is current.
bash "$root/scripts/build.sh" --target Corvask corvask_labnp >/dev/null

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

# A file argument is handed over as Wine sees it (through drive Z:).
args=()
if [ $# -gt 0 ]; then args=("Z:$(realpath -m "$1" | tr / '\\')"); fi

if have_display; then
  bash "$root/scripts/wine-prefix.sh" "$prefix" --managed
  bash "$root/lab/demo-lan.sh" "$prefix" >/dev/null
  echo "run.sh: starting Corvask on the demo LAN (Search Now searches it)"
  exec wine "$exe" "${args[@]}"
fi

echo "run.sh: no display; running on a private virtual display, picture after a search in $shots/corvask.png"
bash "$root/scripts/wine-prefix.sh" "$prefix" --managed
bash "$root/lab/demo-lan.sh" "$prefix" >/dev/null
mkdir -p "$shots"
CORVASK_FORCE_XVFB=1 bash "$root/scripts/with-display.sh" bash -c '
  set -euo pipefail
  exe=$1 shots=$2; shift 2
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine explorer /desktop=Corvask,1024x768 "$exe" "$@" >/dev/null 2>&1 </dev/null &
  program=$!
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name "^Corvask$" 2>/dev/null | tail -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "run.sh: the window did not appear" >&2; kill $program; exit 1; }
  sleep 2
  # Enter presses the default button, Search Now.
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key --window "$window" Return
  # The demo LAN takes about ten seconds with the program'"'"'s pacing (a server a second).
  sleep "${CORVASK_RUN_WAIT:-30}"
  import -window root "$shots/corvask.png"
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wait $program 2>/dev/null || true
' run "$exe" "$shots" "${args[@]}"
echo "run.sh: saved $shots/corvask.png"
