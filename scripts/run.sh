#!/usr/bin/env bash
# Sets up what is missing, builds Tarvik.exe and runs it under Wine: on your
# display when $DISPLAY is set, otherwise on a private, invisible Xvfb (the
# program then runs until you stop it with Ctrl+C).
# TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/lib/setup.sh
build=${TARVIK_BUILD:-build}

# Only the program: in the same Windows build that the tests use, which runs
# here, and as the 32-bit product that users copy to Windows.
DIRS="win product" TARGETS=Tarvik bash scripts/lib/build.sh
echo "run: the product for Windows is $build/product/src/ui/Tarvik.exe (copy it anywhere; it needs no installer)"

exe="$build/win/src/ui/Tarvik.exe"
if [ -n "${DISPLAY:-}" ]; then
    echo "run: starting $exe under Wine on display $DISPLAY"
else
    echo "run: no DISPLAY: starting $exe under Wine on a private Xvfb, where it cannot be seen;" \
         "scripts/screenshot.sh shows the window in pictures. Stop it with Ctrl+C."
fi
# The settings file Tarvik.ini is read from and saved beside the program.
exec env TARVIK_WINE_MODE=x11 "$build/win/wine-run" "$exe"
