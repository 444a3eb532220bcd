#!/usr/bin/env bash
# The text search benchmark: makes the 1 GiB tree once (bench/make-text-tree.sh), then under Wine
# searches it for "Invoice 2024-117" with the program's content reader against a one-thread walk
# reading every byte of it, in the same run (goal: at most 1.2 times the walk), and natively with
# grep -rl (reported only: grep finds the bytes as typed, in one encoding and case, where the
# search finds four encodings in any case; -i for any case is timed too).
#   bash bench/run-text.sh [--rounds N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
text="Invoice 2024-117"
tree=$(bash "$root/bench/make-text-tree.sh")
bash "$root/scripts/build.sh" --target bench_text >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
holders=$(grep -c . "$tree/.holders")
wine "$root/build/cmake/bench/bench_text.exe" "Z:${tree//\//\\}" "$text" --expect "$holders" "$@"
grep_ms() { # grep options...: median of three runs, in ms, with the number of files it lists
  local runs=() n=0
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    n=$(grep -rl "$@" -- "$text" "$tree" | wc -l)
    t1=$(date +%s%N)
    runs+=($(( (t1 - t0) / 1000000 )))
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p | tr '\n' ' '
  echo "($n files)"
}
printf '%-44s %10s\n' "grep -rl, native (as typed)" "$(grep_ms)"
printf '%-44s %10s\n' "grep -rli, native (any case)" "$(grep_ms -i)"
