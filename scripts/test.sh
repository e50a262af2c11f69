#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: the native
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz
# targets for a short while, and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build=${TARVIK_BUILD:-build}
status=0
for dir in native fuzz win; do
    echo "== tests: $dir"
    ctest --test-dir "$build/$dir" --output-on-failure -j2 || status=1
done
exit $status
