#!/usr/bin/env bash
# The real main window searching the benchmarks' 100,000-file tree, served by the lab network as
# \\BENCHSRV\tree: prints how long the window took to answer a message while hits arrived.
#   bash bench/run-window.sh [NAMES]      (NAMES defaults to "*": every file and folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_window corvask_labnp >/dev/null
tree=$(bash "$root/bench/make-tree.sh")

export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
mkdir -p "$WINEPREFIX/dosdevices/unc/benchsrv"
ln -sfn "$tree" "$WINEPREFIX/dosdevices/unc/benchsrv/tree"
topology="$root/build/bench/window.topology"
printf 'provider\ndomain | BENCH\nserver | BENCHSRV\nshare | tree\n' >"$topology"

run() {
  source "$root/scripts/wine-session.sh"
  wine "$root/build/cmake/bench/bench_window.exe" "$@" </dev/null
}
export -f run
export root
bash "$root/scripts/with-display.sh" bash -c 'run "$@"' run "$topology" "${1:-*}"
