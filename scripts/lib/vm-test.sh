#!/usr/bin/env bash
# Runs the 32-bit Windows tests and the 32-bit Tarvik.exe on a machine whose
# kernel cannot run 32-bit programs: in a Debian virtual machine under qemu
# (software emulation unless KVM works here). The machine's disk is built once
# from Debian's package archive by vm-image.sh and kept in the build tree; a
# change of that recipe builds a new one.
#
# The guest sees the source tree and the build root through 9p at the same
# paths as here, so the CTest files of build/win32 and its Wine prefixes work
# unchanged (the prefixes, made on the first run, stay for the next). It runs
# the suite of build/win32 and the start test of build/product's Tarvik.exe;
# their output comes back on the serial console, the exit status in a file.
#
#   vm-test.sh          build the disk when needed, then run the tests
#   vm-test.sh image    only build the disk when needed
# TARVIK_BUILD: the build root (default: build).
# TARVIK_VM_TESTS: a CTest regular expression of the win32 tests to run
#   (default: all of them).
# TARVIK_VM_TIMEOUT: seconds before the machine is stopped (default 2400).
# TARVIK_VM_ACCEL: kvm to use KVM where it works (default: tcg, software
#   emulation: on the build machines /dev/kvm exists, but qemu aborts on it).
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD
mkdir -p "${TARVIK_BUILD:-build}"
build=$(cd "${TARVIK_BUILD:-build}" && pwd)
vm="$build/vm"
mkdir -p "$vm"

# One run at a time per build tree.
exec 8>"$vm/.lock"
flock 8

key=$(sha256sum scripts/lib/vm-image.sh | cut -c1-16)
image="$vm/image-$key"
if [ ! -f "$image/root.img" ]; then
    # A build cut short may have left its chroot mounts behind.
    { findmnt -rn -o TARGET | grep "^$vm/" || true; } | sort -r | while read -r m; do umount -l "$m"; done
    rm -rf --one-file-system "$vm"/image-*
    start=$SECONDS
    echo "vm-test: building the test machine's disk (once; a few minutes), log in $image.tmp/build.log"
    bash scripts/lib/vm-image.sh "$image.tmp"
    mv "$image.tmp" "$image"
    echo "vm-test: disk built in $((SECONDS - start)) s"
fi
# "vm-test.sh image" only makes the disk (the test command does that while it
# compiles).
[ "${1:-}" != image ] || exit 0

for f in "$build/win32/CTestTestfile.cmake" "$build/product/src/ui/Tarvik.exe"; do
    [ -e "$f" ] || { echo "vm-test: $f is missing: run scripts/lib/build.sh first" >&2; exit 1; }
done

job="$vm/job"
rm -rf "$job"
mkdir -p "$job" "$vm/tmp"
cat > "$job/env" <<EOF
SRC='$src'
BUILD='$build'
TESTS='${TARVIK_VM_TESTS:-}'
EOF
cp scripts/lib/vm-guest.sh "$job/run.sh"

if [ "${TARVIK_VM_ACCEL:-tcg}" = kvm ]; then
    accel=(-accel kvm -cpu host)
else
    accel=(-accel tcg,thread=multi)  # the default CPU: with "max", 32-bit code faults
fi
limit=${TARVIK_VM_TIMEOUT:-2400}
console="$job/console.log"
: > "$console"

# The disk is opened read-only underneath (snapshot): the guest's writes go
# to a temporary file that qemu drops at the end (kept in the build tree).
TMPDIR="$vm/tmp" timeout -k 10 "$limit" qemu-system-x86_64 \
    "${accel[@]}" -smp 2 -m 3G -display none -no-reboot -nodefaults \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "console=ttyS0 root=/dev/vda rw quiet loglevel=3 init=/sbin/vminit" \
    -drive "file=$image/root.img,format=raw,if=virtio,snapshot=on" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none" \
    -virtfs "local,path=$src,mount_tag=src,security_model=none" \
    -virtfs "local,path=$build,mount_tag=build,security_model=none" \
    -chardev "file,id=console,path=$console" -serial chardev:console \
    -pidfile "$vm/qemu.pid" </dev/null >"$vm/qemu.out" 2>&1 &
runner=$!
stop() {
    kill "$runner" 2>/dev/null || true
    if [ -s "$vm/qemu.pid" ]; then kill "$(cat "$vm/qemu.pid")" 2>/dev/null || true; fi
}
trap stop EXIT INT TERM

echo "vm-test: booting the test machine (${accel[*]}), at most $limit s"
tail -n +1 -f --pid="$runner" "$console" &
shower=$!
rc=0
wait "$runner" || rc=$?
sleep 1
kill "$shower" 2>/dev/null || true
wait "$shower" 2>/dev/null || true
trap - EXIT INT TERM
rm -f "$vm/qemu.pid"

if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "vm-test: FAILED: the test machine did not finish within $limit s (stopped)" >&2
    exit 1
fi
if [ ! -s "$job/status" ]; then
    echo "vm-test: FAILED: the test machine ended without a result (qemu status $rc):" >&2
    cat "$vm/qemu.out" >&2
    exit 1
fi
status=$(cat "$job/status")
if [ "$status" -ne 0 ]; then
    # Once more at the end, what failed (the whole output is above).
    echo "vm-test: FAILED in the 32-bit test machine (console: $console):" >&2
    grep -E '^== vm: .*FAILED|^program_start: FAILED|^\s+[0-9]+ - .*\(' "$console" >&2 || true
    exit 1
fi
echo "vm-test: the 32-bit tests passed"
