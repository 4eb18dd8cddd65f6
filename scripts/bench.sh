#!/usr/bin/env bash
# Builds Pelko and its benchmarks in release mode, runs every benchmark and prints one table:
# figure, value, target, peer measured in the same run, ratio, and whether the target holds.
# Not part of CI; the machine's load shows under the table.
#   scripts/bench.sh [--quick] [--no-curves] [--no-load] [--no-peers] [--docs]
#     --quick      fewer rounds, a smaller log and fewer keys: a look, not figures to quote
#     --no-curves  without the growth curves (they take a few minutes)
#     --no-load    without the second pass under a fixed load (stress-ng, 2 CPU workers)
#     --no-peers   without TIPP10 and Klavaro beside Pelko (a second table)
#     --docs       also put the table and the curves into docs/performance.md, docs/perf-*.png
# Everything lands in build-bench/perf/ (or $PELKO_BENCH_BUILD/perf). Exit status 1 when a
# target does not hold.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_BENCH_BUILD:-$root/build-bench}"
out="$build/perf"
quick=0 curves=1 docs=0 load=1 peers=(--peers)
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    --no-curves) curves=0 ;;
    --no-load) load=0 ;;
    --no-peers) peers=() ;;
    --docs) docs=1 ;;
    *) echo "usage: $0 [--quick] [--no-curves] [--no-load] [--no-peers] [--docs]" >&2; exit 2 ;;
  esac
done

"$root/scripts/deps.sh" bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
      -DPELKO_BUILD_BENCHMARKS=ON >/dev/null
targets=(pelko bench_logs bench_input bench_draw bench_bare_line_edit bench_keys_to_screen)
# The results browser's benchmark, in a source tree that has it.
grep -q '\bbench_browser\b' "$root/bench/CMakeLists.txt" && targets+=(bench_browser)
grep -q '\bbench_browser_db\b' "$root/bench/CMakeLists.txt" && targets+=(bench_browser_db)
echo "Building ${targets[*]} (release) in $build" >&2
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)" >/dev/null

bin="$build/bin"
rm -rf "$out"
mkdir -p "$out/data"
echo "load_before $(cut -d' ' -f1-3 /proc/loadavg | tr ' ' '/')" >"$out/machine.txt"
records=1000000 runs=3 keys=500 database_runs=10000000
[ "$quick" = 1 ] && records=100000 runs=1 keys=100 database_runs=1000000
export QT_QPA_PLATFORM=offscreen

step() { echo "== $1" >&2; }
# A benchmark that fails leaves its rows at n/a; the others still run.
run() { "$@" || echo "failed ($?): $*" >&2; }

# Every figure of the table, into the folder given; further arguments go to the keystroke
# bench (the peers, on the quiet pass).
measure() {
  local into=$1
  shift
  mkdir -p "$into"
  step "LogWrite and the ranking on a $records-record log, with sort | head and wc -l"
  run "$bin/bench_logs" --figures "$records" >"$into/logs.txt"
  step "One committed character (30,000-character runs)"
  run "$bin/bench_input" --figures "$runs" >"$into/input.txt"
  step "Problem ready, 32,767 characters"
  run "$bin/bench_draw" --figures >"$into/draw.txt"
  if [ -x "$bin/bench_browser" ]; then
    step "Results browser"
    run "$bin/bench_browser" >"$into/browser.txt"
  fi
  step "Keystroke to screen, launch and memory (Xvfb, ibus + Mozc; waits for /tmp/pelko-e2e.lock)"
  run flock /tmp/pelko-e2e.lock python3 "$root/bench/keys_to_screen.py" --pelko "$bin/pelko" \
      --floor "$bin/bench_bare_line_edit" --tool "$bin/bench_keys_to_screen" \
      --out "$into/keys.txt" --keys "$keys" "$@" >&2
}

measure "$out" "${peers[@]}"
if [ -x "$bin/bench_browser_db" ]; then
  step "Results browser on a results database of $database_runs runs (filling takes minutes)"
  run python3 "$root/bench/browser_db.py" --tool "$bin/bench_browser_db" --pelko "$bin/pelko" \
      --rows "$database_runs" >"$out/browser_db.txt"
fi
if [ "$load" = 1 ]; then
  # The same again on a busy machine: two workers that keep both cores of a 2-core machine
  # (or two of more) busy throughout, as another program's build would.
  step "Everything again under a fixed load: stress-ng --cpu 2"
  stress-ng --cpu 2 --quiet &
  stress=$!
  measure "$out/loaded"
  kill "$stress"
  wait "$stress" 2>/dev/null || true
fi
if [ "$curves" = 1 ]; then
  step "Growth curves"
  run "$bin/bench_draw" --curve "$out/data/draw-size.dat"
  run "$bin/bench_input" --curves "$out/data/input-size.dat" "$out/data/input-run.dat"
  run "$bin/bench_logs" --curve "$out/data/logs-size.dat"
fi
echo "load_after $(cut -d' ' -f1-3 /proc/loadavg | tr ' ' '/')" >>"$out/machine.txt"

report=(python3 "$root/bench/bench_report.py" --out "$out"
        --figures "$out/machine.txt" "$out/logs.txt" "$out/input.txt" "$out/draw.txt" "$out/keys.txt"
        --browser "$out/browser.txt" "$out/browser_db.txt")
[ "$load" = 1 ] && report+=(--loaded "$out/loaded/logs.txt" "$out/loaded/input.txt"
                            "$out/loaded/draw.txt" "$out/loaded/keys.txt" "$out/loaded/browser.txt")
[ "$curves" = 1 ] && report+=(--curves "$out/data")
[ "$docs" = 1 ] && report+=(--docs "$root/docs")
"${report[@]}"
