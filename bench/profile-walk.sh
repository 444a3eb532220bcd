#!/usr/bin/env bash
# Where the time of a walk goes: the results benchmark's walk of \\BENCHSRV\tree (no item part)
# sampled on every processor with perf's cpu-clock event, then the samples by process and by
# binary. The benchmark's own code (walker, store, list) is the PE image, which perf shows as
# "[JIT] tid N"; the rest is Wine (ntdll.so, the wineserver), the C library and the kernel.
#   bash bench/profile-walk.sh [--rounds N]        (perf from Debian's linux-perf; root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command -v perf >/dev/null || { echo "profile-walk.sh: perf is missing (apt-get install linux-perf)" >&2; exit 1; }
bash "$root/scripts/build.sh" --target bench_results >/dev/null
tree=$(bash "$root/bench/make-tree.sh")
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
mkdir -p "$WINEPREFIX/dosdevices/unc/benchsrv" "$root/build/bench"
ln -sfn "$tree" "$WINEPREFIX/dosdevices/unc/benchsrv/tree"
data="$root/build/bench/walk.perf"

run() {
  source "$root/scripts/wine-session.sh"
  perf record -q -a -e cpu-clock -F 1000 -o "$data" -- \
      wine "$root/build/cmake/bench/bench_results.exe" '\\BENCHSRV\tree' --items 0 "$@" </dev/null
}
export -f run
export root data
bash "$root/scripts/with-display.sh" bash -c 'run "$@"' run "$@"
echo
echo "== Samples by process (swapper: a processor with nothing to do)"
perf report -i "$data" --stdio --no-children --sort comm 2>/dev/null | grep '%' | head -6
echo
echo "== Samples of the benchmark process and the wineserver, by binary"
perf report -i "$data" --stdio --no-children --comm bench_results.e,wineserver32 \
    --sort comm,dso 2>/dev/null | grep '%' | head -14
