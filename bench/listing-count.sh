# Counting folder listings on the file side, for the benchmark scripts (sourced). A listing of a
# share's folder never reaches the lab provider (it answers only the network enumeration), so
# the folders themselves are watched: bench/listing-counter.c, a read-only FUSE view mounted
# over a folder, counts every read of a folder from its start into a file that the benchmark
# reads (through Z:) before and after each pass.
#
#   listing_counter_mount FOLDER     mounts the counter over FOLDER; sets listing_count_file
#                                    (a Linux path) and listing_count_file_win (the Z: path)
#   listing_names_of ARGS...         the "--names TEXT" pairs of ARGS, into listing_names
#   listing_counter_unmount          unmounts every counter mounted by this script (also done
#                                    when the script exits, before its earlier exit trap)
#
# Needs root, /dev/fuse and libfuse3-dev (installed through scripts/apt-install.sh if missing).

listing_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
listing_counter="$listing_root/build/bench/listing-counter"
listing_mounts=()
listing_pids=()

listing_counter_build() {
  [ "$(id -u)" -eq 0 ] && [ -c /dev/fuse ] || { echo "listing count: needs root and /dev/fuse" >&2; return 1; }
  command -v pkg-config >/dev/null && pkg-config --exists fuse3 ||
    bash "$listing_root/scripts/apt-install.sh" libfuse3-dev pkg-config fuse3 >/dev/null || return 1
  local source="$listing_root/bench/listing-counter.c"
  if [ ! -x "$listing_counter" ] || [ "$source" -nt "$listing_counter" ]; then
    mkdir -p "$(dirname "$listing_counter")"
    gcc -O2 -Wall -Wextra -Werror "$source" -o "$listing_counter" $(pkg-config fuse3 --cflags --libs) || return 1
  fi
}

listing_counter_mount() {
  local folder count previous
  # Unmounted on every way out; an exit trap set before (the wineserver's) still runs after.
  if [ ${#listing_mounts[@]} -eq 0 ]; then
    previous=$(trap -p EXIT | sed -e "s/^trap -- '//" -e "s/' EXIT\$//")
    trap "listing_counter_unmount; $previous" EXIT
  fi
  folder=$(cd "$1" && pwd -P)
  listing_counter_build || return 1
  count="$listing_root/build/bench/listings-$(printf '%s' "$folder" | sha256sum | cut -c1-8).count"
  mountpoint -q "$folder" && { echo "listing count: $folder is a mount point already" >&2; return 1; }
  "$listing_counter" "$folder" "$count" -f </dev/null >/dev/null 2>&1 &
  listing_pids+=($!)
  listing_mounts+=("$folder")
  local i
  for i in $(seq 100); do mountpoint -q "$folder" && break; sleep 0.05; done
  mountpoint -q "$folder" || { echo "listing count: could not mount over $folder" >&2; return 1; }
  listing_count_file=$count
  listing_count_file_win="Z:${count//\//\\}"
}

listing_names_of() {
  listing_names=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --names ] && [ $# -gt 1 ]; then listing_names+=(--names "$2"); shift; fi
    shift
  done
}

listing_counter_unmount() {
  local folder pid
  for folder in "${listing_mounts[@]}"; do
    fusermount3 -u "$folder" 2>/dev/null || fusermount3 -uz "$folder" 2>/dev/null || true
  done
  for pid in "${listing_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  listing_mounts=()
  listing_pids=()
}
