#!/usr/bin/env bash
# What a long run costs: builds the benchmark program (bench/, the real main
# window, web probe and notification-area icon) in the Windows build, runs it
# once under Wine on a private display with a loopback server of its own,
# writes docs/benchmarks.md with a plot, and ends with the summary line.
# Asserts nothing; the test command does not run it.
#   BENCH_ARGS: cycles, warm-up cycles, probe rounds, sample spacing
#               and steady cycles (default: 10000 500 1000 250 1000)
#   TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/lib/setup.sh
build=${TARVIK_BUILD:-build}
# The Windows build runs here: the 32-bit one, which users run, wherever
# 32-bit Wine runs; the 64-bit one elsewhere.
arch=$(scripts/lib/wine-arch.sh) why=$(scripts/lib/wine-arch.sh --why)
echo "bench: measuring the $arch build: $why"
DIRS=win TARGETS=tarvik_bench bash scripts/lib/build.sh >/dev/null

dir="$build/win/bench"
rm -f "$dir/bench_figures.txt" "$dir/bench_samples.csv"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Always a private display (never the user's): Wine's shell then gives the
# notification area, and nothing appears on anybody's desktop.
env -u DISPLAY TARVIK_WINE_MODE=x11 "$build/win/wine-run" "$dir/tarvik_bench.exe" ${BENCH_ARGS:-} |
    tee "$log" | grep -v '^bench: cycles='
summary=$(grep '^bench: cycles=' "$log" | tail -n1 | tr -d '\r')
[ -n "$summary" ] && [ -f "$dir/bench_figures.txt" ] || { echo "bench: the benchmark program did not finish" >&2; exit 1; }

first() { sed -n "s/^$1[[:space:]]*:[[:space:]]*//p" | head -n1; }
export BENCH_MACHINE_CPU="$(LC_ALL=C lscpu | first 'Model name')"
export BENCH_MACHINE_CORES="$(nproc)"
export BENCH_MACHINE_MEMORY="$(LC_ALL=C free -m | awk '/^Mem:/ {printf "%.1f GiB", $2 / 1024}')"
export BENCH_MACHINE_OS="$(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r)"
export BENCH_BUILD_ARCH=$arch BENCH_BUILD_WHY="$why"
export BENCH_MACHINE_WINE="$(TARVIK_WIN_ARCH=$arch; . scripts/lib/wine-env.sh && "$WINELOADER" --version 2>/dev/null || echo unknown)"
export BENCH_MACHINE_COMPILER="$($arch-w64-mingw32-g++-win32 --version | head -n1)"
export BENCH_MACHINE_DATE="$(date -u '+%Y-%m-%d %H:%M UTC')"
mkdir -p docs
python3 -B bench/bench_report.py "$dir/bench_figures.txt" "$dir/bench_samples.csv" \
    docs/benchmarks.md docs/benchmarks.png "$summary"
echo "bench: wrote docs/benchmarks.md and docs/benchmarks.png"
echo "$summary"
