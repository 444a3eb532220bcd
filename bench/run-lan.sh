#!/usr/bin/env bash
# Builds and runs the LAN search benchmark under Wine over the demo LAN of the lab: the engine
# and the search's walker against the bare walk (each folder listed once, no name tested) for
# "*", "*.mp3" and "*.txt *.mp3 *.doc"; then, with a counting view over the demo LAN's folders
# (bench/listing-count.sh; root and FUSE), the listings per folder of each.
#   bash bench/run-lan.sh [--rounds N] [--no-default] [--names TEXT]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_lan corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX"
exe="$root/build/cmake/bench/bench_lan.exe"
wine "$exe" "$@"

source "$root/bench/listing-count.sh"
listing_names_of "$@"
if listing_counter_mount "$root/build/lab/demo"; then
  wine "$exe" --listings "$listing_count_file_win" "${listing_names[@]}"
fi
