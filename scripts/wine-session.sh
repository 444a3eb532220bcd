# Sourced (not run) by the scripts that run Wine programs for a while, tests and benchmarks: a
# persistent wineserver for $WINEPREFIX until the calling shell exits, then ended and waited for.
#
# A server that is still ending (killed by the run before) must be gone before ours starts: a
# persistent request it accepted would end with it, and processes would meet no server.
timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
# Wine's own services start now, away from the caller's pipes: a service started by a program of
# the run would inherit that program's output and keep its reader (CTest, a pipe) waiting.
wine wineboot -r >/dev/null 2>&1 </dev/null || true
trap 'wineserver -k >/dev/null 2>&1 </dev/null || true; timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true' EXIT
