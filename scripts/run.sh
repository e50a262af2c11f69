#!/usr/bin/env bash
# Sets up what is missing, builds Tarvik.exe and runs it under Wine: on your
# display when $DISPLAY is set, otherwise on a private, invisible Xvfb (the
# program then runs until you stop it with Ctrl+C).
# TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${TARVIK_BUILD:-build}
arch=$(scripts/wine-arch.sh)

# The same configuration as scripts/build.sh's "win" build: only the program.
[ -f "$build/win/build.ninja" ] ||
    cmake -S . -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw.cmake" -DTARVIK_WIN_ARCH="$arch" >/dev/null
cmake --build "$build/win" --target Tarvik -- -j2

exe="$build/win/src/ui/Tarvik.exe"
if [ -n "${DISPLAY:-}" ]; then
    echo "run: starting $exe under Wine on display $DISPLAY"
else
    echo "run: no DISPLAY: starting $exe under Wine on a private Xvfb, where it cannot be seen;" \
         "scripts/screenshot.sh shows the window in pictures. Stop it with Ctrl+C."
fi
# The settings file Tarvik.ini is read from and saved beside the program.
exec env TARVIK_WINE_MODE=x11 "$build/win/wine-run" "$exe"
