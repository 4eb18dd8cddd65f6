#!/usr/bin/env bash
# Builds the benchmarks in their own build folder and prints their figures.
#   scripts/bench.sh [records]   records in the big main log (default 1000000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_BENCH_BUILD:-$root/build-bench}"
"$root/scripts/deps.sh" build
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
      -DPELKO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target bench_logs bench_input bench_draw bench_load -j"$(nproc)" >/dev/null
echo "== Logs and ranking"
"$build/bin/bench_logs" "$@"
echo "== Typing through the input window"
QT_QPA_PLATFORM=offscreen "$build/bin/bench_input"
echo "== Opening a 32,767-character problem"
QT_QPA_PLATFORM=offscreen "$build/bin/bench_draw"
echo "== 1,000 runs and 200 problem replacements in one process"
QT_QPA_PLATFORM=offscreen "$build/bin/bench_load"
