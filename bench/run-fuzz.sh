#!/usr/bin/env bash
# Builds and runs the reader fuzz under Wine: by default 1,000,000 generated and mutated inputs
# through the option-file, list-file and result-file readers and the tool-bar resource reader,
# starting from the corpus in bench/fuzz/corpus. Prints the figures; a failing input is saved
# as build/fuzz-failure.bin.
#   bash bench/run-fuzz.sh [--inputs N] [--seed N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" --target bench_reader_fuzz >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# A server that is still ending (killed by the run before) must be gone before ours starts:
# a persistent request it accepted would end with it, and processes would meet no server.
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
trap 'wineserver -k >/dev/null 2>&1 </dev/null || true; timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true' EXIT
cd "$root/build"
bash "$root/scripts/with-display.sh" wine "$root/build/cmake/bench/bench_reader_fuzz.exe" \
    --corpus "Z:$root/bench/fuzz/corpus" "$@"
