#!/usr/bin/env bash
# Runs CTest on the current build (no rebuild) with a wineserver kept alive for the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The lab network: mpr reads the provider registration when a process starts, so the provider
# is registered (with the demo LAN, generated once) before any test process runs.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
cd "$root/build/cmake"
# A test process that Wine ends at its very start (no output at all, seen now and then when it
# starts just as another test program ends) is run once more; a test that fails in earnest
# fails both times.
ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2 "$@"
