#!/usr/bin/env bash
# Configures and builds everything into build/cmake (incremental). Pass --clean to start from
# scratch. The architecture is the one this machine's Wine runs (scripts/arch.sh): the 32-bit
# program as it ships, or a 64-bit build of the same sources where 32-bit code cannot run here.
# CORVASK_ARCH (i686, x86_64) and CORVASK_BUILD_NAME (a folder under build/) override both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$(bash "$root/scripts/arch.sh")
build="$root/build/${CORVASK_BUILD_NAME:-cmake}"
if [ "${1:-}" = "--clean" ]; then rm -rf "$build"; shift; fi
# A build tree of the other architecture is started again.
built=$(cat "$build/.arch" 2>/dev/null || { [ -f "$build/CMakeCache.txt" ] && echo i686; } || true)
if [ -n "$built" ] && [ "$built" != "$arch" ]; then rm -rf "$build"; fi
mkdir -p "$build"
echo "$arch" >"$build/.arch"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
      -DWINE_PREFIX="$root/build/wine" >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
