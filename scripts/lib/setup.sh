#!/usr/bin/env bash
# Installs, once and only when missing, every Debian package that the builds
# and tests need, and generates the locales the program runs under (Russian,
# and the English and Chinese ones that the code-page tests use).
# With everything in place it prints nothing and takes well under a second.
# Every way out other than success prints one line: what failed, what to do.
#   TARVIK_STATE_DIR: where set-up keeps what it learnt (default /var/lib/tarvik)
set -euo pipefail

packages=(g++-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine64 fonts-wine locales xvfb xauth x11-utils cmake ninja-build
          googletest g++ clang libclang-rt-14-dev python3 imagemagick xdotool
          git  # which files are the project's (check-platform-files.sh), the release's date
          cmark-gfm  # the user guide as HTML (scripts/release.sh)
          qemu-system-x86 debootstrap)  # the 32-bit test machine (scripts/lib/vm-test.sh)
locales=(ru_RU.UTF-8 en_US.UTF-8 zh_CN.UTF-8)

fail() { echo "setup: $*" >&2; exit 1; }
# A command that fails where nothing above expected it still says so.
trap 'echo "setup: \"$BASH_COMMAND\" failed (line $LINENO); run bash -x scripts/lib/setup.sh to see more" >&2' ERR

# Where a try to install 32-bit Wine failed: not tried again until this file
# is removed (the archive's i386 index has lagged behind its amd64 one for
# days, and each try costs a minute of downloads).
wine32_failed=${TARVIK_STATE_DIR:-/var/lib/tarvik}/wine32-failed

installed() {  # package... : prints those of them that are installed
    # dpkg-query exits 1 when the package database has never heard of one of
    # them (any fresh machine), and still prints the others.
    { dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' "$@" 2>/dev/null || true; } |
        awk '$NF == "installed" { print $1 }'
}

# 32-bit Wine is worth having only where this kernel runs 32-bit programs at
# all; elsewhere the 32-bit tests run in a virtual machine (vm-test.sh). The
# check runs a 93-byte 32-bit Linux program that only exits.
runs_32bit() {
    local probe rc=0
    probe=$(mktemp "${TMPDIR:-/tmp}/tarvik-elf32.XXXXXX")
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'`
          `'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
          `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00'`
          `'\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' > "$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    return $rc
}

have=" $(installed "${packages[@]}" | sed 's/:.*//' | tr '\n' ' ') "
need=()
for p in "${packages[@]}"; do [[ $have == *" $p "* ]] || need+=("$p"); done
optional=()
if [ ! -e "$wine32_failed" ] && [ -z "$(installed wine32:i386)" ] && runs_32bit; then
    optional=(wine32:i386)
fi
root=false
[ "$(id -u)" -ne 0 ] || root=true

if ((${#need[@]} + ${#optional[@]})) && ! $root; then
    ((${#need[@]} == 0)) || fail "${#need[@]} packages are missing (${need[*]}); run this command as root, or with sudo"
    echo "setup: not root, so wine32:i386 is left out; the 32-bit tests run in the virtual machine" >&2
    optional=()
fi
if ((${#need[@]} + ${#optional[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    log=$(mktemp "${TMPDIR:-/tmp}/tarvik-setup.XXXXXX")
    wanted=("${need[@]}" "${optional[@]}")
    echo "setup: installing ${wanted[*]}"
    if ((${#optional[@]})) && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    # A mirror caught mid-sync fails one index or another ("File has
    # unexpected size"); the rest are still fresh, so try a few times and then
    # go on: the install below fails clearly if a package really is missing.
    keep_log=false
    for try in 1 2 3; do
        apt-get update -qq >>"$log" 2>&1 && break
        keep_log=true
        echo "setup: apt-get update failed (try $try of 3; its output is in $log)" >&2
        [ "$try" -eq 3 ] || sleep 5
    done
    if ((${#need[@]})) && ! apt-get install -y -qq --no-install-recommends "${need[@]}" >>"$log" 2>&1; then
        missing=$(sed -n -e "s/^E: Unable to locate package \(.*\)/\1/p" \
                         -e "s/^E: Package '\(.*\)' has no installation candidate/\1/p" "$log" | tr '\n' ' ')
        if [ -n "$missing" ]; then
            fail "the package archive has no ${missing% }; this needs Debian 12 (bookworm) with its main archive in /etc/apt/sources.list (apt-get's output: $log)"
        fi
        fail "apt-get install failed (its output: $log); mend what it says, then run this command again"
    fi
    # 32-bit Wine's i386 libraries must match the amd64 ones version for
    # version, which fails while the archive's i386 index lags behind; the
    # 64-bit build is then tested here and the 32-bit one in the machine.
    if ((${#optional[@]})) && ! apt-get install -y -qq --no-install-recommends "${optional[@]}" >>"$log" 2>&1; then
        keep_log=true
        mkdir -p "$(dirname "$wine32_failed")"
        date -u > "$wine32_failed"
        echo "setup: wine32:i386 could not be installed, so the 32-bit tests run in the virtual machine;" \
             "remove $wine32_failed to try again" >&2
    fi
    $keep_log || rm -f "$log"
fi

# locale -a spells them "ru_RU.utf8".
known=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' || true)
absent=()
for l in "${locales[@]}"; do
    grep -qx "$(echo "${l%.UTF-8}.utf8" | tr 'A-Z' 'a-z')" <<<"$known" || absent+=("$l")
done
if ((${#absent[@]})); then
    $root || fail "the locales ${absent[*]} are missing; run this command as root, or with sudo, to generate them"
    [ -f /etc/locale.gen ] || fail "/etc/locale.gen is missing: install the package locales (apt-get install locales), then run this command again"
    for l in "${absent[@]}"; do
        sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" >> /etc/locale.gen
    done
    locale-gen >/dev/null 2>&1 || fail "locale-gen could not generate ${absent[*]}; run locale-gen as root to see why"
fi
