#!/usr/bin/env bash
# Maps the shares of a topology file into a Wine prefix: usage
#   lab/map-shares.sh PREFIX TOPOLOGY
# Every share line with a path=FOLDER option becomes the link
# PREFIX/dosdevices/unc/<server>/<share> -> FOLDER (relative folders are taken from the
# topology's own folder), so that \\SERVER\share lists FOLDER. Names are lower-cased: the prefix
# matches them without regard to case. Shares whose server or share name could not stand in a
# path are skipped.
set -euo pipefail
prefix=${1:?usage: map-shares.sh PREFIX TOPOLOGY}
topology=${2:?usage: map-shares.sh PREFIX TOPOLOGY}
base=$(cd "$(dirname "$topology")" && pwd)
unc="$prefix/dosdevices/unc"
mkdir -p "$unc"

trim() { local s=$1; s="${s#"${s%%[![:space:]]*}"}"; s="${s%"${s##*[![:space:]]}"}"; printf '%s' "$s"; }
okname() { [ -n "$1" ] && [ "$1" != . ] && [ "$1" != .. ] && [[ "$1" != *[\\/:*?\"\<\>\|]* ]]; }

server="" mapped=0
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  IFS='|' read -ra f <<<"$line"
  [ ${#f[@]} -ge 2 ] || continue
  kind=$(trim "${f[0]}"); kind=${kind,,}
  name=$(trim "${f[1]}")
  case $kind in
    network|domain) server="" ;;
    server)
      name=${name#\\\\}
      if okname "$name"; then server=${name,,}; else server=""; fi ;;
    share)
      [ -n "$server" ] && okname "$name" || continue
      path=""
      for field in "${f[@]:2}"; do
        field=$(trim "$field")
        key=$(trim "${field%%=*}")
        [ "${key,,}" = path ] && [[ $field = *=* ]] && path=${field#*=}
      done
      path=$(trim "$path")
      [ -n "$path" ] || continue
      [[ $path = /* ]] || path="$base/$path"
      mkdir -p "$unc/$server"
      link="$unc/$server/${name,,}"
      if [ -e "$link" ] && [ ! -L "$link" ]; then
        echo "map-shares.sh: $link is a folder of its own; left alone" >&2
        continue
      fi
      ln -sfn "$path" "$link"
      mapped=$((mapped + 1)) ;;
  esac
done <"$topology"
echo "map-shares.sh: $mapped share(s) mapped under $unc"
