# Shared by the SMB lab's scripts (sourced): where the lab lives, the list of servers and shares,
# and how one server is started and stopped. What the lab makes lives in build/lab/smb, except
# Samba's databases, sockets and pid files, which live in /run/corvask-smb (a folder shared
# into a virtual machine may not hold memory-mapped databases or sockets). Nothing else outside
# the build folder changes: names are never resolved, each server is reached by its address,
# which smbnetfs shows under the server's name.

smb_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
smb_list="$smb_root/lab/smb/network.txt"
smb_state="$smb_root/build/lab/smb"
smb_runtime="/run/corvask-smb/$(printf '%s' "$smb_state" | sha256sum | cut -c1-12)"
smb_mount="$smb_state/mount"
smb_packages=(samba smbclient smbnetfs fuse3)

# The lines of network.txt as "server address share kind folders files", comments left out.
smb_shares() {
  sed -e 's/#.*//' "$smb_list" | awk 'NF >= 4 { print $1, $2, $3, $4, ($5 == "" ? 0 : $5), ($6 == "" ? 0 : $6) }'
}

# Each server once, with its address: "server address".
smb_servers() { smb_shares | awk '!seen[$1]++ { print $1, $2 }'; }

smb_address_of() { smb_servers | awk -v s="$1" '$1 == s { print $2 }'; }

# Writes the server's configuration: one smbd bound to its own loopback address with folders of
# its own, guests mapped to the share owner, and the shares of the list.
smb_write_config() {
  local server=$1 address=$2 dir="$smb_state/servers/$1" run="$smb_runtime/$1"
  mkdir -p "$dir"/{spool,log} "$run"/{lock,state,cache,private,pid,ncalrpc}
  {
    cat <<EOF
[global]
  netbios name = $server
  workgroup = WORKGROUP
  server string = SMB lab server $server
  server role = standalone server
  interfaces = $address/8
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  map to guest = bad user
  lock directory = $run/lock
  state directory = $run/state
  cache directory = $run/cache
  private dir = $run/private
  pid directory = $run/pid
  ncalrpc dir = $run/ncalrpc
  log file = $dir/log/%m.log
  max log size = 1000
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
EOF
    smb_shares | while read -r s a share kind folders files; do
      [ "$s" = "$server" ] || continue
      echo "[$share]"
      case $kind in
        print)  printf '  path = %s\n  printable = yes\n  guest ok = yes\n' "$dir/spool" ;;
        denied) printf '  path = %s\n  guest ok = no\n  valid users = corvask-lab-nobody\n' \
                  "$smb_state/shares/$server/$share" ;;
        *)      printf '  path = %s\n  guest ok = yes\n  read only = yes\n  force user = %s\n' \
                  "$smb_state/shares/$server/$share" "$(id -un)" ;;
      esac
    done
  } >"$dir/smb.conf"
}

# Starts the server's smbd in the background unless it runs; smbd makes a process group of its
# own (started with --no-process-group, a SIGTERM would end the caller's group too).
smb_start_server() {
  local server=$1 dir="$smb_state/servers/$1"
  smb_server_running "$server" && return 0
  rm -f "$smb_runtime/$server/pid/smbd.pid"
  smbd -F -s "$dir/smb.conf" </dev/null >>"$dir/log/console.log" 2>&1 &
  local i
  for i in $(seq 100); do
    [ -s "$smb_runtime/$server/pid/smbd.pid" ] && return 0
    sleep 0.1
  done
  echo "smb lab: $server did not start (see $dir/log)" >&2
  return 1
}

smb_server_running() {
  local pid
  pid=$(cat "$smb_runtime/$1/pid/smbd.pid" 2>/dev/null) || return 1
  [ -n "$pid" ] && smb_alive "$pid"
}

# A process that has ended but was not reaped yet (its parent may be gone) counts as ended.
smb_alive() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [ -n "$state" ] && [[ $state != Z* ]]
}

# Ends the server's smbd and the RPC helper it started (each leads a process group of its own),
# by the ids in their pid files, and waits until both are gone. With "KILL" as the second
# argument the server dies at once, in the middle of whatever it serves.
smb_stop_server() {
  local dir="$smb_runtime/$1" signal=${2:-TERM} name pid i
  for name in smbd samba-dcerpcd; do
    pid=$(cat "$dir/pid/$name.pid" 2>/dev/null) || continue
    [ -n "$pid" ] || continue
    kill "-$signal" -- "-$pid" 2>/dev/null || kill "-$signal" "$pid" 2>/dev/null || true
    for i in $(seq 50); do smb_alive "$pid" || break; sleep 0.1; done
    kill -KILL -- "-$pid" 2>/dev/null || true
    rm -f "$dir/pid/$name.pid"
  done
}
