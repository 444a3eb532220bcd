#!/usr/bin/env bash
# Builds and runs the LAN search benchmark under Wine over the demo LAN of the lab:
#   bash bench/run-lan.sh [--rounds N] [--no-default]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_lan corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX"
wine "$root/build/cmake/bench/bench_lan.exe" "$@"
