#!/usr/bin/env bash
# The text search benchmark. Makes the 1 GiB tree once (bench/make-text-tree.sh), serves it on
# the lab network as \\TEXTSRV\tree and, under Wine, searches the network for "Invoice 2024-117"
# as the program does (the engine, pauses at zero) against a one-thread walk of the share that
# reads every byte with ReadFile, in the same run (goal: at most 1.2 times the walk); then grep -rl
# natively on the same tree (reported only: grep finds the bytes as typed, in one encoding and
# case, where the search finds four encodings in any case; -i for any case is timed too). Then
# the same ratio over real SMB: the SMB lab's text share \\SMBFILES\Texts (lab/smb), read through
# its mount; skipped with one line where the lab cannot run.
#   bash bench/run-text.sh [--rounds N] [--no-smb]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
text="Invoice 2024-117"
args=() smb=1
while [ $# -gt 0 ]; do
  case $1 in
    --no-smb) smb=0 ;;
    --rounds) args+=(--rounds "${2:?}"); shift ;;
  esac
  shift
done
tree=$(bash "$root/bench/make-text-tree.sh")
bash "$root/scripts/build.sh" --target bench_text corvask_labnp >/dev/null
export WINEPREFIX="$root/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
source "$root/scripts/wine-session.sh"
# The provider registration is read when a process starts: register before the run.
bash "$root/lab/demo-lan.sh" "$WINEPREFIX" >/dev/null
mkdir -p "$WINEPREFIX/dosdevices/unc/textsrv" "$root/build/bench"
ln -sfn "$tree" "$WINEPREFIX/dosdevices/unc/textsrv/tree"
topology="$root/build/bench/text.topology"
printf 'provider\ndomain | BENCH\nserver | TEXTSRV\nshare | tree\n' >"$topology"
exe="$root/build/cmake/bench/bench_text.exe"

echo "== the lab tree, \\\\TEXTSRV\\tree"
wine "$exe" "Z:${topology//\//\\}" '\\TEXTSRV\tree' "$text" --expect "$(grep -c . "$tree/.holders")" \
  "${args[@]}"
grep_ms() { # grep options...: median of three runs, in ms, with the number of files it lists
  local runs=() n=0
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    n=$(grep -rl "$@" -- "$text" "$tree" | wc -l)
    t1=$(date +%s%N)
    runs+=($(( (t1 - t0) / 1000000 )))
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p | tr '\n' ' '
  echo "($n files)"
}
printf '| %s | %s | - | - |\n' "grep -rl, native (as typed), ms" "$(grep_ms)"
printf '| %s | %s | - | - |\n' "grep -rli, native (any case), ms" "$(grep_ms -i)"

[ $smb -eq 1 ] || exit 0
echo
echo "== over SMB, \\\\SMBFILES\\Texts (the SMB lab's text share, through its mount)"
smb_topology="$root/build/bench/text-smb.topology"
printf 'provider\ndomain | WORKGROUP\nserver | SMBFILES\nshare | Texts\n' >"$smb_topology"
holders="$root/build/lab/smb/shares/SMBFILES/Texts/.holders"
# The lab fills its shares when it starts; the count of planted files is read once it has.
bash "$root/lab/smb/with-lab.sh" bash -c \
  'wine "$1" "$2" "\\\\SMBFILES\\Texts" "$3" --expect "$(grep -c . "$4")" "${@:5}"' \
  run "$exe" "Z:${smb_topology//\//\\}" "$text" "$holders" "${args[@]}"
