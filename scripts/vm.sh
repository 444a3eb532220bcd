#!/usr/bin/env bash
# Runs a command where Wine can run 32-bit Windows programs:
#   bash scripts/vm.sh COMMAND [ARGS...]
# On a machine whose kernel runs 32-bit code (the usual case) the command simply runs here. Where
# it cannot (kernels booted with ia32_emulation=off, and hypervisors without the 32-bit mode), it
# runs inside a small Debian machine emulated by qemu: the work tree is mounted at the same path,
# the command runs as root in the same folder with the variables CI, WINEDEBUG,
# SOURCE_DATE_EPOCH and CORVASK_*, its output comes here and its exit status is this script's.
# The machine is emulated (no hardware acceleration), so Wine runs there about fifteen times
# slower than natively: give it whole test runs, not single quick checks. CORVASK_VM=1 forces the
# machine, CORVASK_VM=0 forbids it; CORVASK_VM_MEM sets its memory in MB (default 4096).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || { echo "usage: scripts/vm.sh COMMAND [ARGS...]" >&2; exit 2; }

native_32bit() {
  local probe="$root/build/vm/native-32bit-probe"
  mkdir -p "$root/build/vm"
  [ -x "$probe" ] || gcc -O1 -no-pie -o "$probe" "$root/scripts/vm/native-32bit-probe.c" 2>/dev/null || return 0
  "$probe" 2>/dev/null
}

case "${CORVASK_VM:-auto}" in
  0) exec "$@" ;;
  1) ;;
  *) if native_32bit; then exec "$@"; fi ;;
esac

image=$(bash "$root/scripts/vm/image.sh")
mkdir -p "$root/build/vm"
job=$(mktemp "$root/build/vm/job-XXXXXX")
disk="$job.qcow2"
trap 'rm -f "$job" "$job.status" "$disk"' EXIT
{
  echo "cd $(printf '%q' "$PWD")"
  # The guest's Wine is the classic 32-bit one: its prefixes are 32-bit, as on a machine without
  # the 64-bit loader.
  echo "export WINEARCH=win32"
  for v in $(compgen -e); do
    case "$v" in CI|WINEDEBUG|SOURCE_DATE_EPOCH|CORVASK_*) echo "export $v=$(printf '%q' "${!v}")" ;; esac
  done
  printf 'exec'; printf ' %q' "$@"; echo
} >"$job"
qemu-img create -q -f qcow2 -b "$image/disk.img" -F raw "$disk"
echo "vm: running in the test machine: $*" >&2
qemu-system-x86_64 -machine q35 -accel tcg,thread=multi -cpu max,-smap -smp "$(nproc)" \
  -m "${CORVASK_VM_MEM:-4096}" -display none -vga none -monitor none -serial stdio -no-reboot \
  -kernel "$image/vmlinuz" -initrd "$image/initrd" \
  -append "root=LABEL=corvaskvm rw console=ttyS0 quiet loglevel=1 init=/sbin/corvask-vm-init corvask.job=$job corvask.share=$root" \
  -drive "file=$disk,if=virtio,format=qcow2" -nic none \
  -virtfs "local,path=$root,mount_tag=hostshare,security_model=passthrough,id=hostshare" </dev/null
status=$(cat "$job.status" 2>/dev/null || echo 1)
exit "$status"
