#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet, and
# survives a package mirror in the middle of a sync: `apt-get update` and `apt-get install` run
# up to three times, ten seconds apart (CORVASK_APT_PAUSE), and an index that fails to download
# does not stop the install as long as the packages themselves still install. The i386
# architecture is added only when a package asks for it (`wine32:i386`): elsewhere its indexes
# are one more thing a mirror can break. Used by setup.sh, the SMB lab, the fuzz scripts and the
# locale step.
#   bash scripts/apt-install.sh PACKAGE...
set -uo pipefail
pause=${CORVASK_APT_PAUSE:-10}
attempts=3
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

for p in "${missing[@]}"; do
  case "$p" in
  *:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386 || { echo "apt-install: cannot add the i386 architecture" >&2; exit 1; }
    fi
    break;;
  esac
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "apt-install: installing ${missing[*]}"
for attempt in $(seq 1 $attempts); do
  # A failed index (a mirror mid-sync) is reported and otherwise ignored: what counts is
  # whether the packages install from the indexes that did arrive.
  if ! $sudo apt-get update -qq >"$log" 2>&1; then
    echo "apt-install: apt-get update failed (attempt $attempt of $attempts); going on:"
    grep -E '^(E|W):' "$log" | head -3 | sed 's/^/  /'
  fi
  if DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
       "${missing[@]}" >"$log" 2>&1; then
    exit 0
  fi
  echo "apt-install: apt-get install failed (attempt $attempt of $attempts):"
  grep -E '^(E|W):' "$log" | head -3 | sed 's/^/  /'
  [ "$attempt" -lt $attempts ] && sleep "$pause"
done
echo "apt-install: could not install ${missing[*]}" >&2
exit 100
