#!/usr/bin/env bash
# Stops, kills or starts one server of the running SMB lab, as a server that shuts down, dies
# or comes back:
#   bash lab/smb/server.sh stop|kill|start SERVER
# After a start the mount answers for the server again by itself within a few seconds.
set -euo pipefail
source "$(dirname "$0")/common.sh"
action=${1:?usage: server.sh stop|kill|start SERVER}
server=${2:?usage: server.sh stop|kill|start SERVER}
[ -f "$smb_state/servers/$server/smb.conf" ] || { echo "server.sh: no lab server $server" >&2; exit 1; }
case $action in
  stop)  smb_stop_server "$server" ;;
  kill)  smb_stop_server "$server" KILL ;;
  start) smb_start_server "$server" ;;
  *)     echo "usage: server.sh stop|kill|start SERVER" >&2; exit 1 ;;
esac
