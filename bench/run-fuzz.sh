#!/usr/bin/env bash
# Builds and runs the reader fuzz under Wine: by default 1,000,000 generated and mutated inputs
# through the option-file, list-file and result-file readers and the tool-bar resource reader,
# starting from the corpus in bench/fuzz/corpus. Prints the figures; a failing input is saved
# as build/fuzz-failure.bin.
#   bash bench/run-fuzz.sh [--inputs N] [--seed N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" --target bench_reader_fuzz >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
cd "$root/build"
bash "$root/scripts/with-display.sh" wine "$root/build/cmake/bench/bench_reader_fuzz.exe" \
    --corpus "Z:$root/bench/fuzz/corpus" "$@"
