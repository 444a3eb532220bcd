#!/usr/bin/env bash
# Makes the Wine prefix named by $1 once (about 20 s); later calls return at once.
set -euo pipefail
prefix=$1
stamp="$prefix/.corvask-ready-2"
[ -f "$stamp" ] && exit 0
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/system.reg" ] || wineboot -i >/dev/null 2>&1 </dev/null
# Under Xvfb there is no window manager, and Wine waits about 2 s for one whenever a managed
# window closes; unmanaged windows close at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 </dev/null || true
touch "$stamp"
