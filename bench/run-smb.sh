#!/usr/bin/env bash
# The LAN search benchmark over real SMB: the Samba servers of lab/smb, reached through
# smbnetfs. First one server (the search against a one-thread FindFirstFileA walk of the same
# shares, goal <= 1.1), then all three (the search against the sum of their one-thread walks, as
# a figure). Both sides are measured in the same run, in turns.
#   bash bench/run-smb.sh [--rounds N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=3
if [ "${1:-}" = "--rounds" ]; then rounds=${2:?}; fi
bash "$root/scripts/build.sh" --target bench_lan corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
exe="$root/build/cmake/bench/bench_lan.exe"
echo "== one server over SMB"
bash "$root/lab/smb/with-lab.sh" wine "$exe" --rounds "$rounds" --no-default --servers '\\SMBDOCS'
echo "== three servers over SMB"
bash "$root/lab/smb/with-lab.sh" wine "$exe" --rounds "$rounds" --no-default \
  --servers '\\SMBDOCS,\\SMBFILES,\\SMBMEDIA'
