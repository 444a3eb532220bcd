#!/usr/bin/env bash
# Builds and runs the LAN search benchmark under Wine over the demo LAN of the lab:
#   bash bench/run-lan.sh [--rounds N] [--no-default]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_lan corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# A server that is still ending (killed by the run before) must be gone before ours starts:
# a persistent request it accepted would end with it, and processes would meet no server.
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
trap 'wineserver -k >/dev/null 2>&1 </dev/null || true; timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true' EXIT
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX"
wine "$root/build/cmake/bench/bench_lan.exe" "$@"
