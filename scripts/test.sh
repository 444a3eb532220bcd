#!/usr/bin/env bash
# The one test command: installs what is missing, builds from scratch, runs every test under
# Wine with its own X display and wineserver, and ends them afterwards. Where this machine cannot
# run 32-bit programs, the tests run in the emulated test machine of scripts/vm.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" --clean
# The demo LAN's files are written here, natively: in the emulated machine they would take minutes.
bash "$root/lab/demo-lan.sh" --generate-only
exec bash "$root/scripts/vm.sh" bash "$root/scripts/with-display.sh" bash "$root/scripts/ctest.sh" "$@"
