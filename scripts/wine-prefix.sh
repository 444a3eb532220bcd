#!/usr/bin/env bash
# Makes the Wine prefix named by $1 once (about 20 s); later calls return at once.
set -euo pipefail
prefix=$1
[ -f "$prefix/.corvask-ready" ] && exit 0
mkdir -p "$prefix"
lock="$prefix.lock"
exec 9>"$lock"
flock 9
[ -f "$prefix/.corvask-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 </dev/null || true
touch "$prefix/.corvask-ready"
