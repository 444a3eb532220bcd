#!/usr/bin/env bash
# Starts the demo LAN in a Wine prefix: generates it once into build/lab/demo (the same tree on
# every run), registers the lab provider with its topology and maps its shares. Usage:
#   lab/demo-lan.sh [PREFIX]        PREFIX defaults to build/wine and is made if missing
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:-$root/build/wine}
out="$root/build/lab/demo"
src="$root/lab/demo/DemoLan.cpp"
dll="$root/build/cmake/lab/corvask_labnp.dll"

mkdir -p "$root/build/lab"
exec 8>"$root/build/lab/demo.lock"
flock 8
# The tree is remade only when the generator changed (or was never run to its end).
stamp=$(sha256sum "$src" | cut -c1-16)
if [ "$(cat "$out/.complete" 2>/dev/null)" != "$stamp" ]; then
  command -v g++ >/dev/null || { echo "demo-lan.sh: g++ is missing (bash scripts/setup.sh)" >&2; exit 1; }
  g++ -std=c++17 -O2 -o "$root/build/lab/demolan" "$src"
  rm -rf "$out.new"
  "$root/build/lab/demolan" "$out.new" >/dev/null
  rm -rf "$out"
  mv "$out.new" "$out"
  echo "$stamp" >"$out/.complete"
fi

[ -f "$dll" ] || bash "$root/scripts/build.sh" --target corvask_labnp >/dev/null
bash "$root/scripts/wine-prefix.sh" "$prefix"
bash "$root/lab/register.sh" "$prefix" "$dll" "$out/topology.txt"
bash "$root/lab/map-shares.sh" "$prefix" "$out/topology.txt" >/dev/null
echo "demo-lan.sh: $(tail -1 "$out/summary.txt" | tr '\t' ' ') in $prefix"
