#!/usr/bin/env bash
# The one test command: installs what is missing, builds from scratch, runs every test under
# Wine with its own X display and wineserver, and ends them afterwards.
# Where this machine's kernel cannot run 32-bit code (scripts/arch.sh), the tests run on a 64-bit
# build of the same sources, and the 32-bit program as it ships is built and checked beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
if [ "$(bash "$root/scripts/arch.sh")" != i686 ]; then
  echo "test.sh: this machine cannot run 32-bit code; testing a 64-bit build, building the 32-bit program beside it"
  CORVASK_ARCH=i686 CORVASK_BUILD_NAME=cmake32 bash "$root/scripts/build.sh" --clean --target Corvask >/dev/null
  bash "$root/scripts/check-binaries.sh" "$root/build/cmake32/bin"
fi
bash "$root/scripts/build.sh" --clean
exec bash "$root/scripts/with-display.sh" bash "$root/scripts/ctest.sh" "$@"
