#!/usr/bin/env bash
# Builds Pelko and runs the whole test suite through CTest, then the unit tests again under
# the sanitizers (scripts/sanitize.sh), then a short round of every fuzz target
# (scripts/fuzz.sh). All three run; any failing fails the command.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh" test
"$root/scripts/build.sh"
status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@" || status=$?
"$root/scripts/sanitize.sh" "$@" || status=$?
"$root/scripts/fuzz.sh" 20 || status=$?
exit "$status"
