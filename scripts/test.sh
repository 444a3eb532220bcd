#!/usr/bin/env bash
# The one test command: installs what is missing, builds from scratch, runs every test under
# Wine with its own X display and wineserver, and ends them afterwards.
# The tests run the build that this machine's Wine runs (scripts/arch.sh): the 64-bit program
# where the kernel cannot run 32-bit code. The other build of the release is made beside it
# first (build/cmake32 or build/cmake64, the program only) and checked, so that the build's
# target `packages` packages both without building either twice.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
if [ "$(bash "$root/scripts/arch.sh")" = i686 ]; then other=x86_64 beside=cmake64
else other=i686 beside=cmake32; fi
echo "test.sh: testing the $(bash "$root/scripts/arch.sh") build; building the $other program beside it in build/$beside"
CORVASK_ARCH=$other CORVASK_BUILD_NAME=$beside bash "$root/scripts/build.sh" --clean --target Corvask >/dev/null
bash "$root/scripts/check-binaries.sh" "$root/build/$beside/bin"
bash "$root/scripts/build.sh" --clean
exec bash "$root/scripts/with-display.sh" bash "$root/scripts/ctest.sh" "$@"
