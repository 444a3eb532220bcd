#!/usr/bin/env bash
# Runs a command (the SMB tests) with the SMB lab started around it, in WINEPREFIX:
#   bash lab/smb/with-lab.sh COMMAND...
# The command finds the lab's topology in CORVASK_LAB_TOPOLOGY (so the lab provider of its
# processes serves the Samba servers, while the prefix stays registered with the demo LAN) and
# a control folder in CORVASK_SMB_CONTROL (a Windows path): a file "request" holding
# "stop|kill|start SERVER" is carried out and answered with a file "answer" ("STATUS ACTION
# SERVER"), so a test under Wine can stop a server in the middle of a search and start it again.
#
# Where the lab cannot run, prints the one line "smb lab unavailable: WHY" and runs nothing (the
# test run counts it as skipped, never as passed).
set -uo pipefail
source "$(dirname "$0")/common.sh"
prefix=${WINEPREFIX:-$smb_root/build/wine}

mkdir -p "$smb_state"
exec 9>"$smb_state/lab.lock"
flock 9
# The servers started here must not hold the lock after this run (9>&-).
started=$(bash "$smb_root/lab/smb/start.sh" "$prefix" 2>&1 9>&-)
status=$?
if [ $status -eq 2 ]; then
  echo "$started" | grep '^smb lab unavailable: '
  exit 0
fi
if [ $status -ne 0 ]; then
  echo "$started"
  exit 1
fi

control="$smb_state/control"
rm -rf "$control"
mkdir -p "$control"
serve_requests() {
  while :; do
    if [ -f "$control/request" ]; then
      # A request written under Windows ends in CR LF.
      read -r action server < <(tr -d '\r' <"$control/request")
      rm -f "$control/request"
      bash "$smb_root/lab/smb/server.sh" "$action" "$server" >>"$control/log" 2>&1 9>&-
      echo "$? $action $server" >"$control/answer.new"
      mv "$control/answer.new" "$control/answer"
    fi
    sleep 0.05
  done
}
serve_requests &
server_loop=$!
finish() {
  kill "$server_loop" 2>/dev/null
  wait "$server_loop" 2>/dev/null
  bash "$smb_root/lab/smb/stop.sh" >/dev/null 2>&1
}
trap 'finish; exit 130' INT TERM

CORVASK_LAB_TOPOLOGY="$smb_state/topology.txt" CORVASK_SMB_CONTROL="Z:${control//\//\\}" "$@"
status=$?
finish
exit $status
