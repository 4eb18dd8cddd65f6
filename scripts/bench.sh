#!/usr/bin/env bash
# Builds the benchmarks in their own build folder and prints their figures.
#   scripts/bench.sh [records]   records in the big main log (default 1000000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_BENCH_BUILD:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
      -DPELKO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target bench_logs -j2 >/dev/null
"$build/bin/bench_logs" "$@"
