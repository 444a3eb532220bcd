#!/usr/bin/env bash
# Prints the Windows architecture that this machine's Wine can run the program and its tests as:
# i686 (the program as it ships) wherever the kernel runs 32-bit code, x86_64 where it cannot
# (kernels booted with ia32_emulation=off, some hypervisors). CORVASK_ARCH overrides it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${CORVASK_ARCH:-}" ]; then echo "$CORVASK_ARCH"; exit 0; fi
probe="$root/build/native-32bit-probe"
mkdir -p "$root/build"
if [ ! -x "$probe" ]; then
  gcc -O1 -no-pie -o "$probe" "$root/scripts/native-32bit-probe.c" 2>/dev/null || { echo i686; exit 0; }
fi
if "$probe" 2>/dev/null; then echo i686; else echo x86_64; fi
