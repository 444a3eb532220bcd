#!/usr/bin/env bash
# Runs Corvask on the demo LAN: installs and builds what is missing, prepares a Wine prefix of
# its own (build/run-wine), registers the lab network with the demo LAN and starts the program.
# With a display the window opens there; without one it runs on a private virtual display,
# presses Search Now, and saves a picture of the window after the search.
# Usage: bash scripts/run.sh [--smb [--discover]] [FILE.opt | FILE.sr]
#   --smb       the real SMB servers of this machine (lab/smb) instead of the demo LAN
#   --discover  with --smb: the real network this machine is on, as browsing finds it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$root/build/run-wine"
shots="$root/build/shots"
exe="$root/build/cmake/bin/Corvask.exe"
smb=0 discover=()
while [ $# -gt 0 ]; do
  case $1 in
    --smb) smb=1 ;;
    --discover) discover=(--discover) ;;
    *) break ;;
  esac
  shift
done

bash "$root/scripts/setup.sh"
# Incremental: a second run rebuilds nothing that is current.
bash "$root/scripts/build.sh" --target Corvask corvask_labnp >/dev/null

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

# A file argument is handed over as Wine sees it (through drive Z:).
args=()
if [ $# -gt 0 ]; then args=("Z:$(realpath -m "$1" | tr / '\\')"); fi

# The network the program sees: the demo LAN, or the SMB servers (stopped again at the end).
prepare_network() {
  bash "$root/scripts/wine-prefix.sh" "$prefix" --managed
  bash "$root/lab/demo-lan.sh" "$prefix" >/dev/null
  [ $smb -eq 1 ] || return 0
  trap 'bash "$root/lab/smb/stop.sh" >/dev/null' EXIT
  bash "$root/lab/smb/start.sh" "${discover[@]}" "$prefix" || exit 1
  bash "$root/lab/register.sh" "$prefix" "$root/build/cmake/lab/corvask_labnp.dll" \
    "$root/build/lab/smb/topology.txt"
}
network="the demo LAN"
[ $smb -eq 0 ] || network="the SMB servers of build/lab/smb/topology.txt"

if have_display; then
  prepare_network
  echo "run.sh: starting Corvask on $network (Search Now searches it)"
  wine "$exe" "${args[@]}"
  exit 0
fi

echo "run.sh: no display; running on a private virtual display, picture after a search in $shots/corvask.png"
prepare_network
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
