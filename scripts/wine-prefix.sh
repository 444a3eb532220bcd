#!/usr/bin/env bash
# Makes the Wine prefix named by $1 once (about 20 s); later calls return at once. With
# --managed as $2 the desktop's window manager frames the program's windows (for a person's
# display); otherwise windows are unmanaged (for Xvfb, which has no window manager).
set -euo pipefail
prefix=$1
managed=${2:-}
stamp="$prefix/.corvask-ready-4"
[ -f "$stamp" ] && exit 0
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/system.reg" ] || wineboot -i >/dev/null 2>&1 </dev/null
# Under Xvfb there is no window manager, and Wine waits about 2 s for one whenever a managed
# window closes; unmanaged windows close at once.
[ "$managed" = --managed ] ||
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
# The caption buttons of Wine's window frame are glyphs of its Marlett font (Debian's
# fonts-wine), which a 64-bit Wine alone does not find in its data folder: the prefix's font
# folder gets it, or the buttons show as the letters 0, 1 and r.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ] && [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp "$marlett" "$prefix/drive_c/windows/Fonts/"
fi
# A crashing program prints its backtrace and ends instead of waiting for a person to close the
# crash dialog (which would hold a test run until its time-out).
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 </dev/null || true
touch "$stamp"
