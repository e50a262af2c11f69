#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: the native
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz
# targets for a short while, and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-platform-files.sh
bash scripts/build.sh
build=${TARVIK_BUILD:-build}
status=0
for dir in native fuzz win; do
    echo "== tests: $dir"
    ctest --test-dir "$build/$dir" --output-on-failure -j2 || status=1
done
# The 32-bit product that users copy: a 32-bit PE that needs no DLL beyond
# Windows' own, stripped, at most 1 MiB, with its icon and version. objdump
# speaks the locale's language: parse it in C.
product="$build/product/src/ui/Tarvik.exe"
echo "== product: $product"
if LC_ALL=C i686-w64-mingw32-objdump -f "$product" | grep -q 'file format pei-i386' &&
   tests/ui/check_imports.sh i686-w64-mingw32-objdump "$product" >/dev/null; then
    echo "product: 32-bit, Windows libraries only"
else
    echo "product: not a 32-bit program, or it imports a DLL beyond Windows' own" >&2
    status=1
fi
tests/ui/check_product.sh i686-w64-mingw32-objdump "$product" || status=1
exit $status
