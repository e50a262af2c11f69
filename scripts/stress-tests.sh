#!/usr/bin/env bash
# Runs a build's CTest suite again and again under the load that has broken
# tests by chance before: two loops of synced disk writes and a busy core.
# A test that waits for a time rather than for a state shows up here.
#
#   stress-tests.sh [runs] [ctest arguments...]
#       runs: how many runs of the suite (default 5)
#       e.g. stress-tests.sh 5 -R 'ui_tests|spin_button_tests'
# TARVIK_BUILD: the build root (default: build); the suite is that of its
# "win" tree. TARVIK_STRESS_DIR: where the write loops write (default: the
# build root, the disk the tests use).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
shift || true
build=${TARVIK_BUILD:-build}
scratch=$(mktemp -d "${TARVIK_STRESS_DIR:-$build}/stress.XXXXXX")

loads=()
stop_loads() {
    for p in "${loads[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap stop_loads EXIT
for n in 1 2; do
    bash -c 'while :; do dd if=/dev/zero of="$1" bs=1M count=64 conv=fsync status=none; done' \
        write-loop "$scratch/w$n" &
    loads+=($!)
done
bash -c 'while :; do :; done' &
loads+=($!)

failed=0
for ((run = 1; run <= runs; run++)); do
    start=$SECONDS
    if out=$(ctest --test-dir "$build/win" --output-on-failure -j2 "$@" 2>&1); then
        echo "stress: run $run of $runs passed in $((SECONDS - start)) s"
    else
        failed=$((failed + 1))
        echo "stress: run $run of $runs FAILED in $((SECONDS - start)) s:"
        grep -E '\(Failed\)|\(Timeout\)|\[  FAILED  \]|Failure' <<<"$out" | sort -u | head -20
        printf '%s\n' "$out" > "$build/stress-run-$run.log"
        echo "stress: its whole output is in $build/stress-run-$run.log"
    fi
done
echo "stress: $((runs - failed)) of $runs runs passed"
[ "$failed" -eq 0 ]
