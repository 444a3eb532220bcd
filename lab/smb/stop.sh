#!/usr/bin/env bash
# Stops the SMB lab: unmounts the network, ends smbnetfs and every server, removes the UNC links
# start.sh made. The shares' content stays for the next start. Safe to run at any time.
#   bash lab/smb/stop.sh
set -uo pipefail
source "$(dirname "$0")/common.sh"

if mountpoint -q "$smb_mount" 2>/dev/null; then
  fusermount3 -u "$smb_mount" 2>/dev/null || fusermount3 -uz "$smb_mount" 2>/dev/null || umount -l "$smb_mount" 2>/dev/null
fi
pid=$(cat "$smb_state/smbnetfs.pid" 2>/dev/null)
if [ -n "${pid:-}" ]; then
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$smb_state/smbnetfs.pid"
fi
if [ -d "$smb_state/servers" ]; then
  for dir in "$smb_state/servers"/*/; do
    [ -d "$dir" ] && smb_stop_server "$(basename "$dir")"
  done
fi
rm -rf "$smb_runtime"
if [ -f "$smb_state/links" ]; then
  while read -r link; do
    [ -L "$link" ] && rm -f "$link"
  done <"$smb_state/links"
  rm -f "$smb_state/links"
fi
echo "smb lab: stopped"
exit 0
