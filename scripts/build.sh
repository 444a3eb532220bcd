#!/usr/bin/env bash
# Configures and builds everything into build/cmake (incremental). Pass --clean to start from scratch.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/cmake"
if [ "${1:-}" = "--clean" ]; then rm -rf "$build"; shift; fi
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DWINE_PREFIX="$root/build/wine" >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
