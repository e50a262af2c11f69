#!/usr/bin/env bash
# Installs, once and only when missing, every Debian package that the builds
# and tests need, and generates the Russian locale the program runs under.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(g++-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine64 fonts-wine locales xvfb xauth x11-utils cmake ninja-build
          googletest g++ clang libclang-rt-14-dev python3 imagemagick xdotool
          qemu-system-x86 debootstrap)  # the 32-bit test machine (scripts/vm-test.sh)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
# 32-bit Wine runs only where the kernel runs 32-bit programs; elsewhere the
# 32-bit tests run in a virtual machine (scripts/vm-test.sh), so a failed
# install of it (the i386 index of a mirror mid-sync leaves its libraries
# out of step with the amd64 ones) is no reason to stop.
optional=()
have wine32:i386 || optional+=(wine32:i386)

if ((${#need[@]} + ${#optional[@]})); then
    [ "$(id -u)" -eq 0 ] || { echo "setup: run as root to install: ${need[*]} ${optional[*]}" >&2; exit 1; }
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    # A mirror caught mid-sync fails one index or another ("File has
    # unexpected size"); the rest are still fresh, so try a few times and then
    # go on: the install below fails clearly if a package really is missing.
    for try in 1 2 3; do
        apt-get update -qq && break
        echo "setup: apt-get update failed (try $try), going on" >&2
        sleep 5
    done
    ((${#need[@]} == 0)) || apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    if ((${#optional[@]})) && ! apt-get install -y -qq --no-install-recommends "${optional[@]}" >/dev/null 2>&1; then
        echo "setup: could not install ${optional[*]}; the 32-bit tests will run in the virtual machine" >&2
    fi
fi

# 32-bit Wine only matters where the kernel runs 32-bit programs (see
# wine-arch.sh; elsewhere the tests run the 64-bit build). Its i386 libraries
# must match the amd64 ones version for version, which fails while the
# archive's i386 index lags behind; then the 64-bit build is tested instead.
if ! have wine32:i386; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: not root, so wine32:i386 is left out; the Windows tests run the 64-bit build" >&2
    elif ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null 2>&1; then
        echo "setup: wine32:i386 did not install; the Windows tests run the 64-bit build" >&2
    fi
fi

if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    [ "$(id -u)" -eq 0 ] || { echo "setup: run as root to generate ru_RU.UTF-8" >&2; exit 1; }
    sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
