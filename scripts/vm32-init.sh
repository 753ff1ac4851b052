#!/bin/busybox sh
# The init of scripts/vm32.sh's guest: builds the root from the three shares
# (this machine's / read-only, the 32-bit layer over it, the guest's own disk
# on top, the run folder read-write), runs the command in it and powers off.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
power_off() { sync; echo o > /proc/sysrq-trigger; sleep 60; }
for module in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci \
  9pnet 9pnet_virtio netfs fscache 9p overlay virtio_blk crc16 crc32c_generic mbcache jbd2 ext4; do
  insmod /modules/$module.ko || echo "vm32: no module $module"
done
run=$(sed -n 's/.*vm32\.run=\([^ ]*\).*/\1/p' /proc/cmdline)
repo=${run%/build/vm32}
share="trans=virtio,version=9p2000.L,msize=512000"
root=/mnt/root
mkdir -p /mnt/host /mnt/i386 /mnt/disk $root
# The host's files are cached (cache=loose): they must not change under the guest.
mount -t 9p -o ro,$share,cache=loose host /mnt/host &&
  mount -t 9p -o ro,$share,cache=loose i386 /mnt/i386 &&
  mount -t ext4 /dev/vda /mnt/disk && mkdir -p /mnt/disk/upper /mnt/disk/work /mnt/disk/tmp &&
  chmod 1777 /mnt/disk/tmp &&
  mount -t overlay -o lowerdir=/mnt/i386:/mnt/host,upperdir=/mnt/disk/upper,workdir=/mnt/disk/work root $root ||
  { echo "vm32: the root could not be built"; power_off; }
mount -t proc proc $root/proc
mount -t sysfs sys $root/sys
mount -t devtmpfs dev $root/dev
mkdir -p $root/dev/pts $root/dev/shm
mount -t devpts devpts $root/dev/pts
mount -t tmpfs shm $root/dev/shm
mount --bind /mnt/disk/tmp $root/tmp
mount -t tmpfs run $root/run
# The repository last (a clone under /tmp or /run would be hidden by the mounts
# above): read through the host's cached share and written to the disk. Read
# through an uncached share, a large program reached Wine with part of its code
# zeroed. Only the run folder, the command's output and status, is shared both
# ways.
mkdir -p /mnt/disk/repo-upper /mnt/disk/repo-work $root$repo &&
  mount -t overlay -o lowerdir=/mnt/host$repo,upperdir=/mnt/disk/repo-upper,workdir=/mnt/disk/repo-work repo $root$repo &&
  mkdir -p $root$run && mount -t 9p -o $share,cache=none run $root$run ||
  { echo "vm32: no repository in the guest"; power_off; }
echo "vm32: booted in $(cut -d' ' -f1 /proc/uptime) s"
chroot $root /usr/bin/env -i HOME=/root USER=root TERM=dumb PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
  /bin/bash -c "bash $run/command > $run/output 2>&1; echo \$? > $run/status"
echo "vm32: the command ran until $(cut -d' ' -f1 /proc/uptime) s, exit status $(cat $root$run/status)"
power_off
