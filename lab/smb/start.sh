#!/usr/bin/env bash
# Starts the SMB lab: real Samba servers on this machine, seen by Wine as \\SERVER\share.
#   bash lab/smb/start.sh [--discover] [PREFIX]
# Installs what is missing (samba, smbclient, smbnetfs, fuse3), starts one smbd per server of
# lab/smb/network.txt on its own loopback address, fills the shares (once), mounts the network
# with smbnetfs (a FUSE file system) at build/lab/smb/mount, links PREFIX/dosdevices/unc/<server>
# there and writes the lab provider's topology to build/lab/smb/topology.txt. PREFIX defaults
# to build/wine. A second run starts only what is not running.
#
# --discover: no lab servers; smbnetfs browses the real network this machine is on, and the
# topology and links are written from the workgroups, servers and shares the mount shows.
#
# Exit status 2 with one line "smb lab unavailable: WHY" when this machine cannot run it (no
# FUSE, not root, the packages cannot be installed); bash lab/smb/stop.sh ends it.
set -euo pipefail
source "$(dirname "$0")/common.sh"
discover=0
if [ "${1:-}" = "--discover" ]; then discover=1; shift; fi
prefix=${1:-$smb_root/build/wine}

unavailable() { echo "smb lab unavailable: $*"; exit 2; }

# ---- what this machine must allow
[ "$(id -u)" -eq 0 ] || unavailable "the servers bind port 445 and mount FUSE, which needs root"
[ -c /dev/fuse ] || unavailable "/dev/fuse is missing (no FUSE in this kernel or container)"
bash "$smb_root/scripts/apt-install.sh" "${smb_packages[@]}" ||
  unavailable "could not install ${smb_packages[*]}"

mkdir -p "$smb_state" "$smb_mount" "$smb_state/home/.smb"
# Whatever this run started is ended again when it fails or is interrupted.
trap 'status=$?; [ $status -eq 0 ] || [ $status -eq 2 ] || bash "$smb_root/lab/smb/stop.sh" >/dev/null 2>&1; exit $status' EXIT
trap 'exit 130' INT TERM

# ---- the servers and their shares (content made once: same names, sizes and dates every time)
if [ $discover -eq 0 ]; then
  stamp=$(sha256sum "$smb_list" "$smb_root/lab/smb/fill-share.pl" \
            "$smb_root/bench/make-text-tree.sh" | sha256sum | cut -c1-16)
  if [ "$(cat "$smb_state/shares/.complete" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$smb_state/shares"
    while read -r server address share kind folders files; do
      case $kind in
        print) ;;
        text) bash "$smb_root/bench/make-text-tree.sh" --files $((folders * files)) \
                --into "$smb_state/shares/$server/$share" >/dev/null ;;
        *) perl "$smb_root/lab/smb/fill-share.pl" "$smb_state/shares/$server/$share" "$folders" "$files" ;;
      esac
    done < <(smb_shares)
    echo "$stamp" >"$smb_state/shares/.complete"
  fi
  while read -r server address; do
    smb_write_config "$server" "$address"
    smb_start_server "$server"
  done < <(smb_servers)
fi

# ---- the network as folders: WORKGROUP and each server under its name
# smbnetfs reads only a configuration of mode 600, from HOME/.smb (its smb.conf is the client's).
home="$smb_state/home"
{
  echo "[global]"
  echo "  workgroup = WORKGROUP"
  if [ $discover -eq 1 ]; then
    echo "  client min protocol = NT1"       # browse lists are served over SMB1
    echo "  name resolve order = bcast host"
  else
    echo "  client min protocol = SMB2"
    echo "  disable netbios = yes"
  fi
} >"$home/.smb/smb.conf"
(
  umask 077
  {
    echo 'auth "guest" ""'
    echo 'use_libsecret "false"'
    if [ $discover -eq 1 ]; then
      echo 'smb_query_browsers "true"'
    else
      # On loopback nothing is discovered: each server is a host by its address and a link by
      # its name.
      echo 'smb_query_browsers "false"'
      while read -r server address; do
        echo "host $address visible=true"
        echo "link $server $address"
      done < <(smb_servers)
    fi
  } >"$home/.smb/smbnetfs.conf"
)
chmod 600 "$home/.smb/smbnetfs.conf"

if ! mountpoint -q "$smb_mount"; then
  options="config=$home/.smb/smbnetfs.conf,allow_other"
  HOME=$home smbnetfs "$smb_mount" -f -o "$options" </dev/null >"$smb_state/smbnetfs.log" 2>&1 &
  echo $! >"$smb_state/smbnetfs.pid"
  for _ in $(seq 100); do mountpoint -q "$smb_mount" && break; sleep 0.1; done
  mountpoint -q "$smb_mount" || unavailable "smbnetfs could not mount FUSE (see $smb_state/smbnetfs.log)"
fi

# ---- the topology and the prefix's UNC links, from the same list (or from what the mount shows)
topology="$smb_state/topology.txt"
links="$smb_state/links"
unc="$prefix/dosdevices/unc"
mkdir -p "$unc"
touch "$links"
link_server() { # server, folder of the mount
  local link="$unc/${1,,}"
  if [ -e "$link" ] && [ ! -L "$link" ]; then
    echo "smb lab: $link is a folder of its own; left alone" >&2
    return
  fi
  ln -sfn "$2" "$link"
  grep -qxF "$link" "$links" || echo "$link" >>"$links"
}
{
  echo "# The SMB lab's network, written by lab/smb/start.sh; the shares are served by Samba."
  if [ $discover -eq 0 ]; then
    echo "domain | WORKGROUP | comment=SMB lab"
    last=""
    while read -r server address share kind folders files; do
      if [ "$server" != "$last" ]; then
        echo "server | $server | comment=Samba at $address"
        last=$server
      fi
      case $kind in
        print)  echo "share | $share | type=print" ;;
        denied) echo "share | $share | comment=no guest access" ;;
        *)      echo "share | $share" ;;
      esac
    done < <(smb_shares)
  else
    # Browsing fills the mount within a few seconds of the first look.
    ls "$smb_mount" >/dev/null 2>&1 || true
    sleep "${CORVASK_SMB_DISCOVERY_WAIT:-10}"
    shopt -s nullglob
    for group in "$smb_mount"/*/; do
      group=$(basename "$group")
      [ -L "$smb_mount/$group" ] && continue
      echo "domain | $group"
      for host in "$smb_mount/$group"/*/; do
        host=$(basename "$host")
        echo "server | $host"
        for share in "$smb_mount/$group/$host"/*/; do
          [ -d "$share" ] && echo "share | $(basename "$share")"
        done
      done
    done
  fi
} >"$topology.new"
mv "$topology.new" "$topology"

if [ $discover -eq 0 ]; then
  while read -r server address; do
    link_server "$server" "$smb_mount/$server"
    # Each server answers before the script ends: its first disk share lists.
    first=$(smb_shares | awk -v s="$server" '$1 == s && $4 == "disk" { print $3; exit }')
    answered=0
    for _ in $(seq 150); do
      if ls "$smb_mount/$server/$first" >/dev/null 2>&1; then answered=1; break; fi
      sleep 0.1
    done
    [ $answered -eq 1 ] || { echo "smb lab: $server does not answer (see $smb_state/servers/$server/log)" >&2; exit 1; }
  done < <(smb_servers)
else
  while IFS='|' read -r kind name _; do
    kind=${kind// /} name=$(echo "$name" | sed 's/^ *//; s/ *$//')
    case $kind in
      domain) group=$name ;;
      server) link_server "$name" "$smb_mount/$group/$name" ;;
    esac
  done < <(grep -v '^#' "$topology")
fi

servers=$(grep -c '^server' "$topology" || true)
shares=$(grep -c '^share' "$topology" || true)
echo "smb lab: $servers server(s), $shares share(s); topology $topology, mount $smb_mount"
