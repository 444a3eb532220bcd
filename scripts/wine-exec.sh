#!/usr/bin/env bash
# Runs one Windows program under the build's private Wine prefix (WINEPREFIX must be set).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of the build}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
bash "$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX"
exec wine "$@"
