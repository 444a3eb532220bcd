#!/usr/bin/env bash
# Makes (once) the benchmarks' tree of 100,000 empty files in 1,111 folders under build/bench/tree
# and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree="$root/build/bench/tree"
if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  # 10 x 10 x 10 leaf folders of 100 files each, in four kinds of file.
  for a in $(seq -w 0 9); do
    for b in $(seq -w 0 9); do
      for c in $(seq -w 0 9); do
        leaf="$tree/Area $a/Project $b/Part $c"
        mkdir -p "$leaf"
        (cd "$leaf" && touch report{00..24}.doc photo{00..24}.jpg notes{00..24}.txt song{00..24}.mp3)
      done
    done
  done
  touch "$tree/.complete"
fi
echo "$tree"
