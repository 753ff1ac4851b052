#!/usr/bin/env bash
# Runs one command in a QEMU guest that runs 32-bit programs, for machines
# whose kernel refuses them:
#   bash scripts/vm32.sh COMMAND [ARGUMENT...]
# The command runs in the current folder, which must lie inside the repository;
# its output is shown as it comes and its exit status is this script's.
#
# The guest is Debian's own amd64 kernel (it runs 32-bit programs) with a small
# init of our own. It sees this machine's / read-only with an overlay on top,
# on a disk made afresh each run (everything it writes there is gone at
# power-off), the repository at its own path the same way, build/vm32 in it
# read-write (the command's output and status come back there), and Wine's 32-bit half, unpacked from Debian's wine32:i386 closure,
# layered over /usr. Nothing 32-bit is installed here: dpkg's state and
# architectures stay as they are.
#
# The kernel, the 32-bit layer and the init are kept in VM32_CACHE (default
# ~/.cache/velorin-vm32), named after their versions: the first run downloads
# and unpacks them (a few minutes), later runs boot in seconds. The host's files
# are cached by the guest: put a command's inputs in place before it starts.
# No KVM here: QEMU emulates the processor (TCG), 3 to 5 times slower than native.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${VM32_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velorin-vm32}
memory=${VM32_MEMORY:-4G}
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGUMENT...]" >&2; exit 2; }
case $PWD/ in "$repo"/*) ;; *) echo "$0: run it from inside $repo" >&2; exit 2 ;; esac
mkdir -p "$cache"

# Debian's kernel and a static busybox for the init, unpacked, not installed.
kernel_package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
kernel=$cache/$kernel_package
if [ ! -d "$kernel" ]; then
  rm -rf "$kernel.tmp" && mkdir -p "$kernel.tmp/debs"
  (cd "$kernel.tmp/debs" && apt-get download -qq -o APT::Sandbox::User=root "$kernel_package" busybox-static)
  for deb in "$kernel.tmp"/debs/*.deb; do dpkg-deb -x "$deb" "$kernel.tmp"; done
  rm -rf "$kernel.tmp/debs" && mv "$kernel.tmp" "$kernel"
fi

# Wine's 32-bit half: wine32:i386 and what it needs beyond what this machine
# has, at this machine's Wine version (the two halves must match), downloaded
# with an apt state of our own and unpacked.
wine_version=$(dpkg-query -W -f '${Version}' libwine:amd64)
layer=$cache/i386-wine-$wine_version
if [ ! -d "$layer" ]; then
  apt=$cache/apt
  mkdir -p "$apt/lists/partial" "$apt/archives/partial"
  options=(-o APT::Architectures::=amd64 -o APT::Architectures::=i386 -o "Dir::State::Lists=$apt/lists"
    -o "Dir::Cache::Archives=$apt/archives" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
  apt-get "${options[@]}" update -qq
  rm -f "$apt"/archives/*.deb
  apt-get "${options[@]}" install -d -y -qq --no-install-recommends \
    "wine32:i386=$wine_version" "libwine:i386=$wine_version"
  rm -rf "$layer.tmp" && mkdir "$layer.tmp"
  for deb in "$apt"/archives/*_i386.deb; do dpkg-deb -x "$deb" "$layer.tmp"; done
  # /lib is a link to usr/lib on this machine: a real lib/ in the layer would hide it.
  if [ -d "$layer.tmp/lib" ]; then
    cp -a "$layer.tmp/lib/." "$layer.tmp/usr/lib/" && rm -rf "$layer.tmp/lib"
  fi
  # libwine:i386's install step makes zlib1.dll (which user32 loads) a Wine
  # builtin from the MinGW build: a PE file with Wine's mark after its DOS header.
  zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
  { head -c 64 $zlib; printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'; tail -c +97 $zlib; } \
    > "$layer.tmp/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  rm -f "$apt"/archives/*.deb
  mv "$layer.tmp" "$layer"
fi

# The init: busybox, the modules for virtio, 9p, ext4 and overlayfs, and the script
# that builds the root and runs the command (named after its own contents).
version=$(ls "$kernel/lib/modules")
init=$repo/scripts/vm32-init.sh
initrd=$kernel/initrd-$(sha256sum < "$init" | cut -c1-12).img
if [ ! -f "$initrd" ]; then
  tree=$(mktemp -d)
  mkdir -p "$tree/bin" "$tree/modules" "$tree/dev" "$tree/proc" "$tree/sys" "$tree/mnt"
  cp "$kernel/bin/busybox" "$tree/bin/" && cp "$init" "$tree/init" && chmod +x "$tree/init"
  for module in drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_modern_dev \
    drivers/virtio/virtio_pci_legacy_dev drivers/virtio/virtio_pci net/9p/9pnet net/9p/9pnet_virtio \
    fs/netfs/netfs fs/fscache/fscache fs/9p/9p fs/overlayfs/overlay drivers/block/virtio_blk \
    lib/crc16 crypto/crc32c_generic fs/mbcache fs/jbd2/jbd2 fs/ext4/ext4; do
    cp "$kernel/lib/modules/$version/kernel/$module.ko" "$tree/modules/"
  done
  (cd "$tree" && find . | "$kernel/bin/busybox" cpio -o -H newc 2>/dev/null | gzip -1) > "$initrd.tmp"
  rm -rf "$tree" && mv "$initrd.tmp" "$initrd"
fi

# The command, its output and its exit status pass through the repository.
run=$repo/build/vm32
mkdir -p "$run"
rm -f "$run/output" "$run/status"
# What the guest writes goes to a disk of its own, made afresh, not to its
# memory: a Wine prefix with both halves is over a gigabyte, and the tests
# copy it. Sparse: only what is written takes room.
disk=$cache/disk.img
rm -f "$disk" && truncate -s 64G "$disk" && mkfs.ext4 -q -F -O ^has_journal "$disk"
trap 'rm -f "$disk"' EXIT
printf 'cd %q && exec' "$PWD" > "$run/command"
printf ' %q' "$@" >> "$run/command"
: > "$run/output"
# -cpu max,-smap: QEMU 7.2's TCG faults the 32-bit user-mode iret that Wine
# uses when SMAP is on. multidevs=remap: / spans several file systems, and
# without it their inode numbers clash (/proc vanishes in the guest's root).
# The 32-bit layer has a share of its own: overlayfs refuses a layer that is
# a bind mount inside another share.
# A guest that hangs must not hold CI for ever: it is stopped after
# VM32_TIME_LIMIT seconds (40 minutes unless set).
limit=${VM32_TIME_LIMIT:-2400}
timeout "$limit" qemu-system-x86_64 -accel tcg,thread=multi,tb-size=512 -cpu max,-smap -smp 2 -m "$memory" \
  -nographic -no-reboot -nic none \
  -kernel "$kernel/boot/vmlinuz-$version" -initrd "$initrd" \
  -append "console=ttyS0 quiet panic=-1 vm32.run=$run" \
  -virtfs local,path=/,mount_tag=host,security_model=none,readonly=on,multidevs=remap \
  -virtfs local,path="$layer",mount_tag=i386,security_model=none,readonly=on \
  -virtfs local,path="$run",mount_tag=run,security_model=none \
  -drive file="$disk",format=raw,if=virtio,cache=unsafe \
  < /dev/null > "$run/console" 2>&1 &
qemu=$!
tail -n +1 -f --pid=$qemu "$run/output"
wait $qemu
case $? in
  0) ;;
  124) echo "vm32: the guest was stopped after $limit s" >&2; exit 1 ;;
  *) echo "vm32: QEMU failed" >&2; cat "$run/console" >&2; exit 1 ;;
esac
grep -ao 'vm32:.*' "$run/console" | tr -d '\r' >&2 || true
[ -s "$run/status" ] || { echo "vm32: the command did not finish" >&2; cat "$run/console" >&2; exit 1; }
exit "$(cat "$run/status")"
