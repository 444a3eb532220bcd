#!/usr/bin/env bash
# Builds and runs the LAN stress under Wine: 200 servers in 4 domains, a tenth failing in each
# way the lab provider can fail, 100 searches with random stops. Prints the figures.
#   bash bench/run-lan-stress.sh [--servers N] [--searches N] [--seed N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_lan_stress corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
bash "$root/scripts/with-display.sh" wine "$root/build/cmake/bench/bench_lan_stress.exe" "$@"
