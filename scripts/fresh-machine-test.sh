#!/usr/bin/env bash
# The README's two commands on a Debian 12 machine that has nothing yet. In a
# clean root made by debootstrap from the archive this machine uses, with a
# clean clone of this repository (its last commit) in /root/tarvik, it runs
# in a chroot, as root, exactly as the README writes them:
#   1. bash scripts/run.sh, until the program's window is up; then stops it;
#   2. bash scripts/test.sh, to its end.
# It prints the time of each step and ends with the test command's status.
# The bare root is made once and kept; each run works in a fresh copy of it,
# into which set-up installs a few hundred megabytes, so the test command
# does not run this. Needs root (debootstrap, chroot, mounts).
#   TARVIK_FRESH: where the roots live (default /var/tmp/tarvik-fresh)
#   TARVIK_FRESH_KEEP=1: keep the used root afterwards, for a look inside
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
[ "$(id -u)" -eq 0 ] || { echo "fresh-machine-test: run as root (debootstrap, chroot and mounts need it)" >&2; exit 1; }
bash scripts/lib/setup.sh  # debootstrap and git, on this machine

fresh=${TARVIK_FRESH:-/var/tmp/tarvik-fresh}
suite=bookworm
base="$fresh/base-$suite"
root="$fresh/root"
logs="$fresh/logs"
# The archive this machine installs from (as the test machine's disk is made).
mirror=$(grep -h -o -E 'https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
             /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n1 | tr -d ' ' || true)
mirror=${mirror:-http://deb.debian.org/debian}
mirror=${mirror%/}

begin=$SECONDS
step() { echo "== fresh machine: $1: $2 s"; }

# Whatever runs inside the root, and every mount under it, goes at the end
# (and before a root left over from a run cut short is removed).
in_root() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
    done
    true
}
clean_root() {
    local pids
    pids=$(in_root)
    [ -z "$pids" ] || kill -9 $pids 2>/dev/null || true
    { findmnt -rn -o TARGET | grep "^$root/" || true; } | sort -r | while read -r m; do umount -l "$m"; done
}
finish() {
    clean_root
    # The logs stay in $logs.
    if [ "${TARVIK_FRESH_KEEP:-}" != 1 ] && [ -d "$root" ]; then rm -rf --one-file-system "$root"; fi
}
trap finish EXIT
clean_root
rm -rf --one-file-system "$root" "$logs"
mkdir -p "$fresh" "$logs"

start=$SECONDS
if [ ! -f "$base/.complete" ]; then
    rm -rf --one-file-system "$base"
    echo "fresh machine: debootstrap --variant=minbase $suite from $mirror (once; kept in $base)"
    # A mirror caught mid-sync fails now and then: try again after a pause.
    for try in 1 2 3; do
        debootstrap --variant=minbase "$suite" "$base" "$mirror" > "$fresh/debootstrap.log" 2>&1 && break
        [ "$try" -lt 3 ] || { tail -20 "$fresh/debootstrap.log" >&2; echo "fresh-machine-test: debootstrap failed; its output is in $fresh/debootstrap.log" >&2; exit 1; }
        rm -rf --one-file-system "$base"
        sleep 10
    done
    # The archive's updates and security fixes, as on an installed machine.
    cat > "$base/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb ${mirror%/debian}/debian-security $suite-security main
EOF
    touch "$base/.complete"
fi
step "the bare root" $((SECONDS - start))

start=$SECONDS
cp -a "$base" "$root"
rm -f "$root/.complete"
# What every installed machine has and debootstrap leaves out.
echo tarvik-fresh > "$root/etc/hostname"
printf '127.0.0.1\tlocalhost\n127.0.1.1\ttarvik-fresh\n::1\tlocalhost ip6-localhost ip6-loopback\n' > "$root/etc/hosts"
rm -f "$root/etc/resolv.conf"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q --no-hardlinks "$src" "$root/root/tarvik"
step "a copy of it with a clean clone of $(git rev-parse --short HEAD)" $((SECONDS - start))

mount_all() {
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
}
# A login shell's environment as root, nothing of this one's.
inside() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb USER=root LOGNAME=root SHELL=/bin/bash \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

mount_all

echo "== fresh machine: bash scripts/run.sh (log: $logs/run.log)"
start=$SECONDS
# In a session of its own, so that Ctrl+C can be given to all of it.
setsid bash -c "$(declare -f inside); root='$root'; inside bash -c 'cd /root/tarvik && bash scripts/run.sh'" \
    > "$logs/run.log" 2>&1 < /dev/null &
run=$!
# Set-up, the build and a cold Wine come first: wait up to an hour.
# With no settings file the program first reports the missing integer
# (its box, captioned "Tarvik"); once that is answered, its window shows.
look() {  # xdotool arguments: on each of the root's X displays
    local d a
    for d in "$root"/tmp/.X11-unix/X*; do
        [ -e "$d" ] || continue
        # xvfb-run's displays let in only those with its authority file.
        for a in "$root"/tmp/xvfb-run.*/Xauthority; do
            [ -e "$a" ] || continue
            inside env LANG=C.UTF-8 DISPLAY=":${d##*/X}" XAUTHORITY="${a#"$root"}" xdotool "$@" 2>/dev/null && return 0
        done
    done
    return 1
}
window=
answered=
for ((i = 0; i < 3600; i += 2)); do
    kill -0 "$run" 2>/dev/null || break
    if box=$(look search --onlyvisible --name '^Tarvik$'); then
        # Keys go to the window under the pointer (no window manager).
        box=$(head -n1 <<<"$box")
        eval "$(look getwindowgeometry --shell "$box")"
        look mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return >/dev/null || true
        answered=1
    fi
    if look search --onlyvisible --name '^Тарвик$' >/dev/null; then window=1; break; fi
    sleep 2
done
if [ -n "$window" ]; then
    step "run command, until the window was up${answered:+ (after the box of the first start)}" $((SECONDS - start))
else
    tail -20 "$logs/run.log" >&2
    echo "fresh-machine-test: FAILED: the run command showed no window (log: $logs/run.log)" >&2
    exit 1
fi
kill -INT -- -"$run" 2>/dev/null || true
for ((i = 0; i < 30; i++)); do kill -0 "$run" 2>/dev/null || break; sleep 1; done
clean_root
mount_all

echo "== fresh machine: bash scripts/test.sh (log: $logs/test.log)"
start=$SECONDS
set +e
inside bash -c 'cd /root/tarvik && bash scripts/test.sh' < /dev/null 2>&1 | tee "$logs/test.log" | grep --line-buffered '^=='
rc=${PIPESTATUS[0]}
set -e
step "test command$([ "$rc" -eq 0 ] || echo ", FAILED (status $rc; log: $logs/test.log)")" $((SECONDS - start))
echo "== fresh machine: all: $((SECONDS - begin)) s, $([ "$rc" -eq 0 ] && echo passed || echo FAILED)"
exit "$rc"
