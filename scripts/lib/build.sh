#!/usr/bin/env bash
# Configures (once) and builds:
#   win     the Windows build whose tests run under Wine here: 32-bit when this
#           machine runs 32-bit Wine, else 64-bit (same sources);
#   product the 32-bit Tarvik.exe that users copy: a stripped release build
#           (also where "win" is 32-bit, since that one keeps debug information);
#   win32   the 32-bit build of the Windows tests, when "win" is not already
#           32-bit: they run in the 32-bit test machine (scripts/lib/vm-test.sh);
#   native  the portable code and its tests, with ASan and UBSan;
#   fuzz    the libFuzzer targets (clang).
# TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${TARVIK_BUILD:-build}
targets=${TARGETS:-all}
arch=$(scripts/lib/wine-arch.sh)

configure() {  # dir, cmake arguments...
    local dir=$1; shift
    local cache="$build/$dir/CMakeCache.txt" a
    # A tree configured for the POSIX-threads compilers is configured afresh.
    if grep -qs '^CMAKE_CXX_COMPILER_AR:FILEPATH=.*-posix$' "$cache"; then rm -rf "${build:?}/$dir"; fi
    # So is one built for the other Windows architecture (TARVIK_VM=1 turns
    # "win" from i686 to x86_64), Wine prefix and all.
    for a in "$@"; do
        case $a in -DTARVIK_WIN_ARCH=*)
            [ ! -f "$cache" ] || grep -qx "TARVIK_WIN_ARCH:STRING=${a#*=}" "$cache" || rm -rf "${build:?}/$dir" ;;
        esac
    done
    [ -f "$build/$dir/build.ninja" ] || cmake -S . -B "$build/$dir" -G Ninja "$@" >/dev/null
}
# DIRS: which builds (default: all of them); TARGETS: which targets in each.
dirs=(${DIRS:-win native fuzz product win32})
[ "$arch" != i686 ] || dirs=("${dirs[@]/win32}")  # "win" is the 32-bit test build then
for dir in "${dirs[@]}"; do
    case $dir in
    win)     configure win -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH="$arch" ;;
    native)  configure native -DCMAKE_BUILD_TYPE=Debug ;;
    fuzz)    configure fuzz -DCMAKE_BUILD_TYPE=Debug -DTARVIK_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;;
    # Its tests run under software emulation, about ten times slower.
    win32)   configure win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH=i686 -DTARVIK_TEST_TIMEOUT=1200 ;;
    product) configure product -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH=i686 ;;
    *)       continue ;;
    esac
    # The product build only ever makes the program, and only when asked
    # for everything or for the program.
    if [ "$dir" = product ]; then
        [ "$targets" = all ] || [[ " $targets " == *" Tarvik "* ]] || continue
        cmake --build "$build/$dir" --target Tarvik -- -j2
    else
        cmake --build "$build/$dir" --target $targets -- -j2
    fi
done
