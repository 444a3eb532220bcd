#!/usr/bin/env bash
# The one test command: installs what is missing, builds from scratch, runs every test under
# Wine with its own X display and wineserver, and ends them afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" --clean
exec bash "$root/scripts/with-display.sh" bash "$root/scripts/ctest.sh" "$@"
