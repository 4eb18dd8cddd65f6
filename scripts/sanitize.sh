#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer + UndefinedBehaviorSanitizer into a folder of
# their own (build-sanitize/, or $PELKO_SANITIZE_BUILD_DIR) and runs them; any report fails.
# Extra arguments go to that ctest run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
suppressions="$root/tests/sanitizers"
reports="$build/sanitizer-reports"

SECONDS=0
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELKO_SANITIZE=ON \
      -DPELKO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target pelko_unit_tests -j"$(nproc)"
echo "sanitizers: configure and build ${SECONDS} s"

# AddressSanitizer and LeakSanitizer write their reports to files, so that one from a child
# process (a helper, the test re-run as a child) counts even when its parent does not look
# at the child's exit code. UBSan next to ASan only writes to stderr; it aborts instead, which
# a child's parent sees as a crash.
rm -rf "$reports"
mkdir -p "$reports"
logs="log_path=$reports/report:log_exe_name=1"
# The slow unwinder gets whole stacks through Qt and the system libraries (built without
# frame pointers): a suppression can then name a frame deep inside a library.
export ASAN_OPTIONS="$logs:halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0"
ASAN_OPTIONS+=":check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="$logs:suppressions=$suppressions/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
UBSAN_OPTIONS+=":suppressions=$suppressions/ubsan.supp"

status=0
ctest --test-dir "$build" -E e2e --output-on-failure -j"$(nproc)" "$@" || status=$?

found=0
for report in "$reports"/*; do
  [ -e "$report" ] || continue
  found=$((found + 1))
  echo "=== sanitizer report: ${report#"$build"/}"
  cat "$report"
done
if [ "$found" -gt 0 ]; then
  echo "sanitizers: $found report(s) in $reports" >&2
  status=1
fi
exit "$status"
