#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet, and
# survives a package mirror in the middle of a sync: `apt-get update` and `apt-get install` run
# up to three times, ten seconds apart (CORVASK_APT_PAUSE), and an index that fails to download
# does not stop the install as long as the packages themselves still install. The i386
# architecture is added only when a package asks for it (`wine32:i386`): elsewhere its indexes
# are one more thing a mirror can break. Used by setup.sh (tool chain and locales), the SMB lab
# and the fuzz scripts.
#   bash scripts/apt-install.sh PACKAGE...
# Exit status 0 when every package is installed, 100 (apt-get's own) when they could not be.
set -uo pipefail
pause=${CORVASK_APT_PAUSE:-10}
attempts=3
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Another set-up running at the same time holds apt's lock for a while: wait for it rather than
# spend an attempt on it. Nothing may ask a question (there may be nobody to answer).
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "$@"; do
  installed "$p" || missing+=("$p")
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
# The first lines that say what went wrong, indented under our own line.
errors() { grep -E '^(E|W|Err):' "$log" | head -3 | sed 's/^/  /'; }
echo "apt-install: installing ${missing[*]}"
for attempt in $(seq 1 $attempts); do
  # A failed index (a mirror mid-sync) is reported and otherwise ignored: what counts is
  # whether the packages install from the indexes that did arrive.
  if ! "${apt[@]}" update -qq </dev/null >"$log" 2>&1; then
    echo "apt-install: apt-get update failed (attempt $attempt of $attempts); going on:"
    errors
  fi
  if "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" </dev/null >"$log" 2>&1; then
    exit 0
  fi
  echo "apt-install: apt-get install failed (attempt $attempt of $attempts):"
  errors
  [ "$attempt" -lt $attempts ] && sleep "$pause"
done
echo "apt-install: could not install ${missing[*]}" >&2
exit 100
