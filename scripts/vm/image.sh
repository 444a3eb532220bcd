#!/usr/bin/env bash
# Makes the test machine's disk image once and prints its folder: a Debian guest with a normal
# kernel, Wine (32-bit), Xvfb, the SMB servers and what the tests run. Used by scripts/vm.sh on
# machines whose own kernel cannot run 32-bit code. The image lives outside the work tree
# (CORVASK_VM_CACHE, default /var/cache/corvask-vm), named after this script's contents, so every
# clone on the machine shares it and a change here makes a new one. About ten minutes the first
# time; later calls return at once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${CORVASK_VM_CACHE:-/var/cache/corvask-vm}
key=$(cat "$0" "$here/init.sh" | sha256sum | cut -c1-16)
out="$cache/$key"
[ -f "$out/ready" ] && { echo "$out"; exit 0; }

# The guest's packages: the Windows side, the display, the SMB lab, and the tools test scripts call.
guest_packages="linux-image-amd64 kmod procps psmisc iproute2 file xvfb xauth xdotool x11-utils
  imagemagick cmake g++ zip unzip wine wine32:i386 wine64 fonts-wine binutils-mingw-w64-i686
  samba smbclient smbnetfs fuse3"

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
host_missing=()
for p in debootstrap qemu-system-x86 qemu-utils qemu-user-static e2fsprogs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || host_missing+=("$p")
done
if [ ${#host_missing[@]} -gt 0 ]; then
  echo "vm: installing ${host_missing[*]}" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${host_missing[@]}" >/dev/null
fi

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
[ -f "$out/ready" ] && { echo "$out"; exit 0; }
echo "vm: making the test machine's image in $out (about ten minutes, once)" >&2

# Some maintainer scripts of the i386 packages run 32-bit programs: on a host that cannot, they
# run through qemu's user-mode emulator for the length of the install.
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
if [ -e "$binfmt/register" ] && [ ! -e "$binfmt/qemu-i386" ]; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FP' \
    | $SUDO tee "$binfmt/register" >/dev/null || true
fi

work="$cache/$key.tmp"
rm -rf "$work"; mkdir -p "$work"
root="$work/root"
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$work/debootstrap.log" 2>&1 ||
  { echo "vm: debootstrap failed, see $work/debootstrap.log" >&2; exit 1; }
cleanup() { umount -R "$root/dev" 2>/dev/null || true; umount "$root/proc" 2>/dev/null || true; }
trap cleanup EXIT
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# shellcheck disable=SC2086
chroot "$root" bash -c "dpkg --add-architecture i386 && apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $guest_packages" \
  >"$work/install.log" 2>&1 || { echo "vm: guest packages failed, see $work/install.log" >&2; exit 1; }
chroot "$root" apt-get clean
cleanup
trap - EXIT
install -m 755 "$here/init.sh" "$root/sbin/corvask-vm-init"
cp "$root"/boot/vmlinuz-* "$work/vmlinuz"
cp "$root"/boot/initrd.img-* "$work/initrd"
mke2fs -q -t ext4 -F -d "$root" -L corvaskvm "$work/disk.img" 8G
rm -rf "$root"
touch "$work/ready"
rm -rf "$out"; mv "$work" "$out"
echo "$out"
