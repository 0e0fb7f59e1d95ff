#!/bin/sh
# Builds the frame benchmarks and prints what a frame costs: the median of five
# runs of each case. Extra arguments go to the benchmark, for instance
#   bench/frame/run.sh --benchmark_filter=WorstFrame
# The build goes to $BUILD_DIR (default: build-bench at the top of the tree).
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build-bench}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORTEKA_TESTS=OFF >/dev/null
cmake --build "$build" --target frame_bench >/dev/null

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bench/frame/frame_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@" >"$out" 2>&1
grep -E '^(Run on|Load Average)' "$out" || true
echo "Median of 5 runs. Targets: worst frame under 1000 us, typical frame under 100 us,"
echo "worst frame zoomed at 4 under 2000 us."
grep -E '^Benchmark' "$out"
grep -E '_median ' "$out" | sed -e 's/_median / /'
