#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang 14 into build-fuzz/ (or $PELKO_FUZZ_BUILD_DIR)
# and runs each for the given seconds from a copy of its seed corpus.
#   scripts/fuzz.sh [seconds] [target...]     default 60 seconds, every target
# Grown corpora and findings go to $PELKO_FUZZ_OUT (default: a new folder under /tmp), never
# into the repository. Exits non-zero when any target found a crash.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true

"$root/scripts/deps.sh" test
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELKO_FUZZ=ON -DBUILD_TESTING=OFF -DPELKO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
out="${PELKO_FUZZ_OUT:-$(mktemp -d /tmp/pelko-fuzz.XXXXXX)}"
echo "Fuzzing ${#targets[@]} targets for ${seconds}s each; corpora and findings in $out"

failed=0
for t in "${targets[@]}"; do
  work="$out/$t"
  mkdir -p "$work/corpus" "$work/findings"
  cp -n "$root/fuzz/corpus/$t/"* "$work/corpus/" 2>/dev/null || true
  # fuzz/<target>.options: flags of that target alone, e.g. a -max_len past its reader's blocks.
  options=()
  [ -f "$root/fuzz/$t.options" ] && read -r -a options <"$root/fuzz/$t.options"
  status=0
  (cd "$work" && "$build/fuzz/$t" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
     "${options[@]}" -artifact_prefix="$work/findings/" corpus >"$work/log" 2>&1) || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$work/log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\).*/\1\/\2/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$last")
  rate=$(sed -n 's/.* exec\/s: \([0-9]*\).*/\1/p' <<<"$last")
  crashes=$(find "$work/findings" -type f | wc -l)
  printf '%-18s runs %-9s exec/s %-6s cov/ft %-11s corpus %-12s crashes %s\n' \
    "$t" "${runs:-?}" "${rate:-?}" "${cov:-?}" "${corp:-?}" "$crashes"
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    grep -E 'invariant broken|ERROR:|SUMMARY:|ALARM' "$work/log" | head -3 | sed 's/^/    /' || true
    echo "    log: $work/log"
  fi
done
exit "$failed"
