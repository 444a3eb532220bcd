#!/usr/bin/env bash
# The LAN search benchmark over real SMB: the Samba servers of lab/smb, reached through
# smbnetfs. First one server (the search against a bare one-thread walk of the same shares, each
# folder listed once and no name tested; goal <= 1.1), then all three (the search against the
# sum of their bare walks, as a figure), for "*", "*.mp3" and "*.txt *.mp3 *.doc". Both sides
# are measured in the same run, in turns. Then the listings per folder that the servers serve:
# the shares' folders are watched by a counting view (bench/listing-count.sh) below Samba.
#   bash bench/run-smb.sh [--rounds N] [--names TEXT]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=3
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=${2:?}; shift ;;
    --names) names+=(--names "${2:?}"); shift ;;
  esac
  shift
done
bash "$root/scripts/build.sh" --target bench_lan corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
exe="$root/build/cmake/bench/bench_lan.exe"
echo "== one server over SMB"
bash "$root/lab/smb/with-lab.sh" wine "$exe" --rounds "$rounds" --no-default --servers '\\SMBDOCS' \
  "${names[@]}"
echo "== three servers over SMB"
bash "$root/lab/smb/with-lab.sh" wine "$exe" --rounds "$rounds" --no-default \
  --servers '\\SMBDOCS,\\SMBFILES,\\SMBMEDIA' "${names[@]}"

# The lab made its shares in the runs above and left them; the servers it starts next serve
# them through the counting view.
shares="$root/build/lab/smb/shares"
source "$root/bench/listing-count.sh"
if [ -d "$shares" ] && listing_counter_mount "$shares"; then
  echo "== listings served by the three servers"
  bash "$root/lab/smb/with-lab.sh" wine "$exe" --no-default \
    --servers '\\SMBDOCS,\\SMBFILES,\\SMBMEDIA' --listings "$listing_count_file_win" "${names[@]}"
fi
