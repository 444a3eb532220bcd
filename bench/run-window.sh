#!/usr/bin/env bash
# The real main window searching the benchmarks' 100,000-file tree, served by the lab network as
# \\BENCHSRV\tree, against the bare walk of the same share (each folder listed once, no name
# tested) for "*.*", "*.mp3" and "*.txt *.mp3 *.doc", and its longest answer to a message while
# hits arrive; then, with a counting view over the tree (bench/listing-count.sh; root and FUSE),
# the listings per folder of each.
#   bash bench/run-window.sh [--rounds N] [--names TEXT]...
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
bash "$root/scripts/with-display.sh" bash -c 'run "$@"' run "$topology" "$@"

source "$root/bench/listing-count.sh"
listing_names_of "$@"
if listing_counter_mount "$tree"; then
  bash "$root/scripts/with-display.sh" bash -c 'run "$@"' run "$topology" \
    --listings "$listing_count_file_win" "${listing_names[@]}"
fi
