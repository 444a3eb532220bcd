#!/bin/sh
# PID 1 of the test machine: mounts the host's work tree at the same path, runs the job that
# scripts/vm.sh left there, records its exit status beside it and powers off.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
mkdir -p /run/lock
ip link set lo up
hostname corvask-vm
modprobe 9pnet_virtio; modprobe 9p; modprobe fuse 2>/dev/null
arg() { sed -n "s/.*corvask\.$1=\([^ ]*\).*/\1/p" /proc/cmdline; }
job=$(arg job)
share=$(arg share)
mkdir -p "$share"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288,cache=loose,access=any hostshare "$share"
status=1
if [ -f "$job" ]; then
  bash "$job" </dev/null >/dev/ttyS0 2>&1
  status=$?
fi
echo "$status" >"$job.status"
sync
umount "$share" 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 30
