#!/usr/bin/env bash
# Configures (once) and builds:
#   win     the Windows build whose tests run under Wine here: 32-bit when this
#           machine runs 32-bit Wine, else 64-bit (same sources);
#   product the 32-bit Tarvik.exe, when "win" is not already 32-bit;
#   native  the portable code and its tests, with ASan and UBSan;
#   fuzz    the libFuzzer targets (clang).
# TARVIK_BUILD: the build root (default: build); TARGETS: targets to build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TARVIK_BUILD:-build}
targets=${TARGETS:-all}
arch=$(scripts/wine-arch.sh)

configure() {  # dir, cmake arguments...
    local dir=$1; shift
    [ -f "$build/$dir/build.ninja" ] || cmake -S . -B "$build/$dir" -G Ninja "$@" >/dev/null
}
configure win -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH="$arch"
configure native -DCMAKE_BUILD_TYPE=Debug
configure fuzz -DCMAKE_BUILD_TYPE=Debug -DTARVIK_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

dirs=(win native fuzz)
if [ "$arch" != i686 ]; then
    configure product -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH=i686
    if [ "$targets" = all ]; then
        cmake --build "$build/product" --target Tarvik -- -j2 2>/dev/null ||
            cmake --build "$build/product" --target Tarvik -- -j2
    fi
fi
for dir in "${dirs[@]}"; do
    cmake --build "$build/$dir" --target $targets -- -j2
done
