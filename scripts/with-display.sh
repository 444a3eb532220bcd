#!/usr/bin/env bash
# Runs a command with an X display: the caller's own if DISPLAY is set and alive, else a private
# Xvfb that ends with the command.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && [ -z "${CORVASK_FORCE_XVFB:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
for n in $(seq 90 150); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { disp=$n; break; }
done
Xvfb ":$disp" -screen 0 "${CORVASK_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 </dev/null &
xpid=$!
trap 'kill $xpid 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$disp" ] && break; sleep 0.1; done
export DISPLAY=":$disp"
"$@"
