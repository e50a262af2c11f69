#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: the native
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz
# targets for a short while, the Windows tests under Wine, and the 32-bit
# tests and program (in a virtual machine where this kernel cannot run
# 32-bit programs).
set -euo pipefail
cd "$(dirname "$0")/.."
begin=$SECONDS
timed() {  # name, command...
    local name=$1 start=$SECONDS rc=0; shift
    "$@" || rc=$?
    echo "== $name: $((SECONDS - start)) s$([ $rc -eq 0 ] || echo ", FAILED")"
    return $rc
}
timed setup bash scripts/lib/setup.sh
timed "set-up guard" bash tests/scripts/setup_test.sh
timed "platform-file rule" bash scripts/lib/check-platform-files.sh
timed "include layers" python3 scripts/lib/check-include-layers.py
arch=$(scripts/lib/wine-arch.sh)
build=${TARVIK_BUILD:-build}
if [ "$arch" != i686 ]; then
    # Its disk (once) while the builds compile: it mostly waits for the archive.
    mkdir -p "$build"
    timed "test machine's disk" bash scripts/lib/vm-test.sh image > "$build/vm-image.out" 2>&1 &
    image=$!
    # Never leave it behind half-done, also when a build fails.
    trap 'wait "$image" 2>/dev/null || true' EXIT
fi
timed build bash scripts/lib/build.sh
status=0
for dir in native fuzz win; do
    if [ "$dir" = win ] && [ -n "${image:-}" ]; then
        # The disk's build syncs to disk (dpkg) and can stall Wine for
        # seconds: the Windows tests, which drive windows and timers, run
        # after it, never beside it.
        if wait "$image"; then image_status=0; else image_status=$?; fi
        image=
    fi
    echo "== tests: $dir"
    timed "tests: $dir" ctest --test-dir "$build/$dir" --output-on-failure -j2 || status=1
done
# The 32-bit product that users copy: a 32-bit PE that needs no DLL beyond
# Windows' own, stripped, at most 1 MiB, with its icon and version, whose
# imports all exist on Windows XP SP3. objdump speaks the locale's language:
# parse it in C.
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
python3 tests/ui/check_manifest.py "$product" || status=1
# Each imported function is on the checked list, none newer than Windows XP.
tests/ui/check_import_list.sh i686-w64-mingw32-objdump "$product" tests/ui/program_imports.txt || status=1
# The release archive as scripts/release.sh makes it (here in the build root,
# leaving dist/ alone): this very product inside, byte for byte, with the
# starting settings that the program start test ran, the guide and the
# checksums.
echo "== release archive"
version=$(sed -n 's/^project(Tarvik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if TARVIK_DIST="$build/dist" bash scripts/release.sh; then
    python3 tests/ui/check_release.py "$build/dist/Tarvik-$version.zip" "$product" resources/Tarvik.ini || status=1
else
    echo "release: the archive could not be made" >&2
    status=1
fi
# Where the Windows tests ran as a 64-bit build, the 32-bit tests and the
# product itself run in the virtual machine.
if [ "$arch" != i686 ]; then
    echo "== tests: win32 and the product, in the 32-bit test machine"
    if [ "$image_status" -eq 0 ]; then
        cat "$build/vm-image.out"
        timed "tests: win32 (virtual machine)" bash scripts/lib/vm-test.sh || status=1
    else
        cat "$build/vm-image.out" >&2
        echo "tests: win32: FAILED: the test machine's disk could not be built" >&2
        status=1
    fi
fi
echo "== all: $((SECONDS - begin)) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
