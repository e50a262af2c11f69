#!/usr/bin/env bash
# Builds the disk of the 32-bit test machine (see vm-test.sh) from Debian's
# package archive only: a Debian 12 amd64 system whose kernel runs 32-bit
# programs, with 32-bit and 64-bit Wine, Xvfb, the Russian, English and
# Chinese locales and what the test command runs inside it.
#
#   vm-image.sh <dir>   makes <dir>/root.img (raw ext4), <dir>/vmlinuz and
#                       <dir>/initrd.img; works in <dir> only
#
# vm-test.sh keys the image by a hash of this file: any change here makes the
# next test run build a new one.
set -euo pipefail
out=$1
mirror=http://deb.debian.org/debian
suite=bookworm
# The packages the guest runs the tests with. Only the main suite: every
# further index is one more that a mirror caught mid-sync can fail.
packages=(linux-image-amd64 kmod iproute2 procps wine wine32:i386 wine64 fonts-wine locales
          xvfb xauth x11-utils xdotool python3 cmake binutils-mingw-w64-i686)

root="$out/root"
mkdir -p "$out"
log="$out/build.log"
: > "$log"

unmount() {
    local m
    for m in "$root/sys" "$root/proc"; do
        if mountpoint -q "$m" 2>/dev/null; then umount -l "$m"; fi
    done
}
trap unmount EXIT
trap 'exit 1' INT TERM

# Runs a command again (after a pause) when it fails: the archive's mirrors
# fail now and then for a minute ("File has unexpected size", a reset).
retry() {  # tries, command...
    local tries=$1 n; shift
    for ((n = 1; ; n++)); do
        "$@" >>"$log" 2>&1 && return 0
        ((n < tries)) || { echo "vm-image: failed $n times: $*; the last lines of $log:" >&2; tail -n 15 "$log" >&2; return 1; }
        echo "vm-image: failed (try $n of $tries), trying again: $*" >&2
        sleep $((15 * n))
    done
}

fresh_root() {
    unmount
    # --one-file-system: never follow a mount out of the tree.
    rm -rf --one-file-system "$root"
    debootstrap --variant=minbase "$suite" "$root" "$mirror"
}

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LANG=C "$@"; }

echo "vm-image: debootstrap $suite"
retry 3 fresh_root
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
echo "deb $mirror $suite main" > "$root/etc/apt/sources.list"
printf '127.0.0.1\tlocalhost\n::1\tlocalhost\n' > "$root/etc/hosts"
echo tarvik-vm > "$root/etc/hostname"
# No service starts inside the chroot.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
in_root dpkg --add-architecture i386

echo "vm-image: installing ${packages[*]}"
apt_opts=(-o Acquire::Retries=5)
retry 5 in_root apt-get "${apt_opts[@]}" update
retry 3 in_root apt-get "${apt_opts[@]}" install -y --no-install-recommends "${packages[@]}"

# Russian for every test; English and Chinese for the runs that check the
# program on a Windows of another code page.
for l in ru_RU en_US zh_CN; do
    sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" "$root/etc/locale.gen"
    grep -q "^$l.UTF-8 UTF-8" "$root/etc/locale.gen" || echo "$l.UTF-8 UTF-8" >> "$root/etc/locale.gen"
done
in_root locale-gen >>"$log" 2>&1

# The guest's only process before the job: mount what programs expect, bring
# up the loopback interface, run the job from the "job" share and power off.
cat > "$root/sbin/vminit" <<'EOF'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
# The initramfs may have mounted some of them already.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
ip link set lo up
modprobe 9pnet_virtio
modprobe 9p
mkdir -p /job
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 job /job; then
    sh /job/run.sh < /dev/null > /dev/ttyS0 2>&1
    echo $? > /job/status
else
    echo "vminit: no job share" > /dev/ttyS0
fi
sync
echo o > /proc/sysrq-trigger
sleep 60
EOF
chmod +x "$root/sbin/vminit"

in_root apt-get clean
rm -rf "$root/var/lib/apt/lists/"* "$root/usr/sbin/policy-rc.d"
cp "$root"/boot/vmlinuz-* "$out/vmlinuz"
cp "$root"/boot/initrd.img-* "$out/initrd.img"
unmount

echo "vm-image: making the disk image"
size_mb=$(( $(du -sm "$root" | cut -f1) * 3 / 2 + 512 ))
rm -f "$out/root.img"
mkfs.ext4 -q -F -L tarvik-root -d "$root" "$out/root.img" "${size_mb}M"
rm -rf --one-file-system "$root"
