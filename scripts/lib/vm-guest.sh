#!/usr/bin/env bash
# The job of the 32-bit test machine (see vm-test.sh), run by its init with
# the "job" share at /job: mounts the source tree and the build root at the
# paths they have on the host, runs the 32-bit tests and prints what they say.
# The exit status is the result.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
set -u
. /job/env
opts=trans=virtio,version=9p2000.L,msize=262144,cache=loose
mkdir -p "$SRC" && mount -t 9p -o "$opts" src "$SRC" || { echo "vm: cannot mount $SRC"; exit 2; }
mkdir -p "$BUILD" && mount -t 9p -o "$opts" build "$BUILD" || { echo "vm: cannot mount $BUILD"; exit 2; }
cd "$SRC"
export LANG=ru_RU.UTF-8 HOME=/root

echo "vm: $(nproc) processors, kernel $(uname -r); 32-bit Wine: $(/usr/lib/wine/wine --version 2>&1)"
status=0
step() {  # name, command...
    local name=$1 start=$SECONDS rc=0; shift
    echo "== vm: $name"
    # Through a pipe: the console is a terminal, and CTest would colour it.
    "$@" 2>&1 | cat
    rc=${PIPESTATUS[0]}
    echo "== vm: $name: $([ $rc -eq 0 ] && echo passed || echo "FAILED (status $rc)") in $((SECONDS - start)) s"
    [ $rc -eq 0 ] || status=1
}
# The program start test runs once, below, on the product itself.
ctest_args=(--test-dir "$BUILD/win32" --output-on-failure -j2 -E '^program_start$')
[ -z "$TESTS" ] || ctest_args+=(-R "$TESTS")
step "32-bit test suite (build/win32)" ctest "${ctest_args[@]}"
step "32-bit product start (build/product)" tests/ui/program_start.sh "$BUILD/win32/wine-run" \
    "$BUILD/product/src/ui/Tarvik.exe" "$BUILD/win32/tests/ui/program_probe.exe" "$BUILD/vm/job/product_start" \
    "$BUILD/win32/tests/ui/planted"
exit $status
