#!/usr/bin/env bash
# Builds and runs the results benchmark under Wine with a display of its own:
#   bash bench/run-results.sh [--items N] [--walk 0|1] [--rounds N]
# Makes (once) a tree of 100,000 empty files in 1,111 folders, serves it as the share
# \\BENCHSRV\tree through the prefix, and prints the measured ratios.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_results >/dev/null

tree=$(bash "$root/bench/make-tree.sh")

export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
mkdir -p "$WINEPREFIX/dosdevices/unc/benchsrv"
ln -sfn "$tree" "$WINEPREFIX/dosdevices/unc/benchsrv/tree"

run() {
  source "$root/scripts/wine-session.sh"
  wine "$root/build/cmake/bench/bench_results.exe" '\\BENCHSRV\tree' "$@"
}
export -f run
export root
bash "$root/scripts/with-display.sh" bash -c 'run "$@"' run "$@"
