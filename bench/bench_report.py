#!/usr/bin/env python3
"""One table from the benchmarks' "name value" lines: figure, value on a quiet machine and
under a fixed load, target, peer measured in the same run, ratio, and whether the target
holds in both; plain text on stdout, Markdown and the growth curves (gnuplot, PNG) into an
output folder.

    bench_report.py --figures FILE... [--loaded FILE...] --out DIR [--curves DIR] [--docs DIR]

With --docs, the table and the machine replace what stands between the markers
"<!-- bench table -->" and "<!-- end of bench table -->" in DIR/performance.md, the peers
table (when the run measured them) what stands between "<!-- peers table -->" and
"<!-- end of peers table -->", and the curves are copied into DIR.

Exit status 1 when a target does not hold.
"""

import argparse
import os
import platform
import shutil
import subprocess
import sys
from pathlib import Path


def read_figures(paths):
    figures = {}
    for path in paths:
        if not Path(path).exists():
            continue
        for line in Path(path).read_text().splitlines():
            parts = line.split(None, 1)
            # The rest of the line: a missing peer's figure is the reason, in words.
            if len(parts) == 2 and not line.startswith("#"):
                figures[parts[0]] = parts[1].strip()
    return figures


def browser_figures(text):
    """The results browser's benchmark prints "name value unit" lines; the table takes the
    opening and the sort by speed, in seconds, and the memory the open log takes. The one
    place to adapt to its output."""
    wanted = {"browser_open": ("browser_open_s", "s"),
              "browser_sort_speed": ("browser_sort_s", "s"),
              "browser_memory": ("browser_memory_mb", "MB"),
              "dbbrowser_open": ("dbbrowser_open_s", "s"),
              "dbbrowser_filter_user": ("dbbrowser_user_s", "s"),
              "dbbrowser_filter_month": ("dbbrowser_month_s", "s"),
              "dbbrowser_memory": ("dbbrowser_memory_mb", "MB")}
    found = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] in wanted and parts[2] == wanted[parts[0]][1]:
            found[wanted[parts[0]][0]] = parts[1]
    return found


# (label, value name, unit, limit, peer name, peer label, ratio limit)
# A row holds when value < limit (if any) and value / peer <= ratio limit (if any), on the
# quiet machine and under the load. Wall times a busy machine stretches for reasons of its
# own are judged quiet only (LOADED_WALL); their CPU times carry the same limit in both.
ROWS = [
    ("One character: median", "per_char_median_us", "µs", 20, None, None, None),
    ("One character: 99th percentile", "per_char_p99_us", "µs", 200, None, None, None),
    ("One character: 99th pct., CPU time", "per_char_cpu_p99_us", "µs", 200, None, None, None),
    ("Key to screen, plain: median", "key_plain_median_ms", "ms", 8,
     "key_plain_floor_median_ms", "bare QLineEdit", 1.5),
    ("Key to screen, plain: 99th pct.", "key_plain_p99_ms", "ms", None,
     "key_plain_floor_p99_ms", "bare QLineEdit", 1.5),
    ("Key to screen, romaji: median", "key_romaji_median_ms", "ms", 8,
     "key_romaji_floor_median_ms", "bare QLineEdit", 1.5),
    ("Key to screen, romaji: 99th pct.", "key_romaji_p99_ms", "ms", None,
     "key_romaji_floor_p99_ms", "bare QLineEdit", 1.5),
    ("Keys not shown within 1 s", "keys_missed", "", 1, None, None, None),
    ("Problem ready, 32,767 characters", "problem_ready_ms", "ms", 100, None, None, None),
    ("Problem ready, CPU time", "problem_ready_cpu_ms", "ms", 100, None, None, None),
    ("LogWrite, 1,000,000-record log", "logwrite_big_us", "µs", None,
     "logwrite_empty_us", "empty log", 1.2),
    ("LogWrite, CPU time", "logwrite_big_cpu_us", "µs", None,
     "logwrite_empty_cpu_us", "empty log", 1.2),
    ("Ranking, 1,000,000 records", "ranking_s", "s", None, "sort_head_s", "sort | head", 0.5),
    ("Ranking, 1,000,000 records", "ranking_s", "s", None, "wc_l_s", "wc -l", 3),
    ("Ranking, CPU time", "ranking_cpu_s", "s", None, "wc_l_cpu_s", "wc -l", 3),
    ("Ranking: peak memory", "ranking_peak_mb", "MB", 50, None, None, None),
    ("Launch to splash", "launch_splash_ms", "ms", 300, None, None, None),
    ("Peak memory: main menu", "mem_menu_mb", "MB", 120, None, None, None),
    ("Peak memory: 32,767-character run", "mem_run_mb", "MB", 120, None, None, None),
    ("Results browser: open 1,000,000", "browser_open_s", "s", 2, None, None, None),
    ("Results browser: sort by speed", "browser_sort_s", "s", 1, None, None, None),
    ("Results browser: memory, 1,000,000", "browser_memory_mb", "MB", 400, None, None, None),
    ("Results database: open 10,000,000", "dbbrowser_open_s", "s", 1, None, None, None),
    ("Results database: filter by user", "dbbrowser_user_s", "s", 1, None, None, None),
    ("Results database: filter by month", "dbbrowser_month_s", "s", 1, None, None, None),
    ("Results database: browser memory", "dbbrowser_memory_mb", "MB", 50, None, None, None),
]

LOADED_WALL = {"per_char_p99_us", "problem_ready_ms", "logwrite_big_us", "ranking_s"}

HEADER = ("Figure", "Quiet", "Under load", "Target", "Peer (same run)", "Ratio", "Holds")


def number(text):
    return f"{text:.3g}" if isinstance(text, float) and abs(text) < 100 else f"{text:.0f}" \
        if isinstance(text, float) else str(text)


def judged(figures, name, limit, peer_name, ratio_limit):
    """(value, ratio, holds) of one figure; None when it was not measured."""
    if name not in figures:
        return None
    value = float(figures[name])
    holds = limit is None or value < limit
    ratio = None
    if peer_name:
        peer_value = float(figures.get(peer_name, "nan"))
        ratio = value / peer_value if peer_value > 0 else float("inf")
        holds = holds and ratio <= ratio_limit
    return value, ratio, holds


def table_rows(figures, loaded=None):
    rows, all_hold = [], True
    for label, name, unit, limit, peer_name, peer_label, ratio_limit in ROWS:
        targets = []
        if limit is not None:
            targets.append(f"< {limit} {unit}".strip())
        if ratio_limit is not None:
            targets.append(f"≤ {ratio_limit}× peer")
        target = ", ".join(targets)
        quiet = judged(figures, name, limit, peer_name, ratio_limit)
        busy = judged(loaded, name, limit, peer_name, ratio_limit) if loaded else None
        busy_text = "–"
        if busy:
            busy_text = f"{number(busy[0])} {unit}".strip()
            if name in LOADED_WALL:
                busy_text += " (not judged)"
            elif not busy[2]:
                busy_text += " (over)"
        if quiet is None:
            optional = name.startswith(("browser", "dbbrowser"))
            rows.append((label, "n/a (not built)" if optional else "n/a", busy_text, target, "",
                         "", "–"))
            if not optional:
                all_hold = False
            continue
        value, ratio, holds = quiet
        if busy and name not in LOADED_WALL:
            holds = holds and busy[2]
        peer = ratio_text = ""
        if peer_name:
            peer = f"{number(float(figures.get(peer_name, 'nan')))} {unit} ({peer_label})"
            ratio_text = f"{ratio:.2f}×"
        all_hold = all_hold and holds
        rows.append((label, f"{number(value)} {unit}".strip(), busy_text, target, peer,
                     ratio_text, "yes" if holds else "NO"))
    return rows, all_hold


def plain_table(rows, header=HEADER):
    widths = [max(len(r[i]) for r in [header, *rows]) for i in range(len(header))]
    lines = ["  ".join(c.ljust(w) for c, w in zip(header, widths)).rstrip()]
    lines.append("  ".join("-" * w for w in widths))
    lines += ["  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in rows]
    return "\n".join(lines)


def markdown_table(rows, header=HEADER):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(c.replace("|", "\\|") for c in r) + " |" for r in rows]
    return "\n".join(lines)


# (label, figure after "peers_<program>_", unit)
PEER_ROWS = [
    ("Key to screen: median", "median_ms", "ms"),
    ("Key to screen: 99th pct.", "p99_ms", "ms"),
    ("CPU per 300 keys", "cpu_ms", "ms"),
    ("Peak memory after the keys", "mem_mb", "MB"),
    ("Launch to first paint", "launch_ms", "ms"),
]
PEER_COLUMNS = [("pelko", "Pelko"), ("floor", "bare QLineEdit"), ("tipp10", "TIPP10"),
                ("klavaro", "Klavaro")]


def peer_rows(figures):
    """Rows of the peers table; None when the run did not measure peers."""
    if not any(name.startswith("peers_") for name in figures):
        return None
    rows = []
    for label, figure, unit in PEER_ROWS:
        row = [label]
        for program, _ in PEER_COLUMNS:
            value = figures.get(f"peers_{program}_{figure}")
            if f"peers_{program}_missing" in figures:
                row.append("missing")
            elif value is None:
                row.append("n/a")
            else:
                row.append(f"{number(float(value))} {unit}")
        rows.append(tuple(row))
    return rows


def machine(figures):
    cpu = "?"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    memory = Path("/proc/meminfo").read_text().split()[1]
    system = "Linux"
    release = Path("/etc/os-release")
    if release.exists():
        for line in release.read_text().splitlines():
            if line.startswith("PRETTY_NAME="):
                system = line.split("=", 1)[1].strip('"')
    return (f"{cpu}, {os.cpu_count()} cores, {int(memory) // 1024 // 1024 + 1} GiB, {system}, "
            f"kernel {platform.release()}; load average {figures.get('load_before', '?')} "
            f"before the run, {figures.get('load_after', '?')} after")


PLOTS = {
    "perf-problem-size.png": """
set multiplot layout 1,2
set xlabel "problem size (characters)"
set title "Problem ready (load, layout, draw)"
set ylabel "ms"
plot "{d}/draw-size.dat" using 1:2 with linespoints lw 2 pt 7 title "open", \\
     "{d}/draw-size.dat" using 1:3 with linespoints lw 2 pt 5 title "start again"
set title "Typing the whole problem"
set ylabel "µs per character"
plot "{d}/input-size.dat" using 1:($2*1000/$1) with linespoints lw 2 pt 7 title "whole run / characters", \\
     "{d}/input-size.dat" using 1:3 with linespoints lw 2 pt 5 title "median of one character"
unset multiplot
""",
    "perf-log-size.png": """
set multiplot layout 1,2
set xlabel "records in the main log"
set format x "%.0s%c"
set title "LogWrite"
set ylabel "µs per record"
plot "{d}/logs-size.dat" using 1:2 with linespoints lw 2 pt 7 title "LogWrite"
set title "Ranking (best ten)"
set ylabel "s"
plot "{d}/logs-size.dat" using 1:3 with linespoints lw 2 pt 7 title "ranking"
unset multiplot
""",
    "perf-per-char-run.png": """
set xlabel "characters typed (blocks of 500)"
set ylabel "µs per character"
set title "One character across a 30,000-character run"
set logscale y
plot "{d}/input-run.dat" using 1:2 with lines lw 2 title "median", \\
     "{d}/input-run.dat" using 1:3 with lines lw 2 title "99th percentile"
""",
}


def draw_curves(data, out):
    made = []
    for name, script in PLOTS.items():
        head = (f'set terminal pngcairo size 1100,420 font "IPAGothic,10"\n'
                f'set output "{out / name}"\nset grid\nset key left top\nset yrange [0:*]\n')
        if "logscale" in script:
            head = head.replace("set yrange [0:*]\n", "")
        try:
            subprocess.run(["gnuplot"], input=head + script.format(d=data), text=True,
                           check=True, capture_output=True)
            made.append(name)
        except (OSError, subprocess.CalledProcessError) as failure:
            sys.stderr.write(f"no {name}: {getattr(failure, 'stderr', failure)}\n")
    return made


def update_docs(docs, tables, pictures):
    """tables: {marker name: Markdown}, each put between its own pair of markers."""
    page = docs / "performance.md"
    text = page.read_text()
    for name, table in tables.items():
        begin, end = f"<!-- {name} -->", f"<!-- end of {name} -->"
        if begin not in text or end not in text:
            sys.stderr.write(f"{page} lacks the {name} markers: that table left out\n")
            continue
        head, rest = text.split(begin, 1)
        text = head + begin + "\n" + table + "\n" + end + rest.split(end, 1)[1]
    page.write_text(text)
    for picture in pictures:
        shutil.copy2(picture, docs / picture.name)


def with_missed_keys(figures):
    if "key_plain_missed" in figures or "key_romaji_missed" in figures:
        figures["keys_missed"] = str(sum(int(figures.get(f"key_{m}{f}_missed", 0))
                                         for m in ("plain", "romaji") for f in ("", "_floor")))
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--figures", nargs="+", required=True)
    parser.add_argument("--loaded", nargs="*", default=[],
                        help="the same figures taken under the fixed load")
    parser.add_argument("--browser", nargs="*", default=[],
                        help="the results browser benchmarks' output, if built")
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--curves", type=Path, help="folder with the curve data")
    parser.add_argument("--docs", type=Path, help="the docs folder to update")
    args = parser.parse_args()

    figures = with_missed_keys(read_figures(args.figures))
    for output in args.browser:
        if Path(output).exists():
            figures.update(browser_figures(Path(output).read_text()))
    loaded = None
    if args.loaded:
        loaded = with_missed_keys(read_figures(args.loaded))
        for output in args.loaded:
            if output.endswith("browser.txt") and Path(output).exists():
                loaded.update(browser_figures(Path(output).read_text()))
    rows, all_hold = table_rows(figures, loaded)
    args.out.mkdir(parents=True, exist_ok=True)
    text = plain_table(rows)
    print(text)
    print(f"\nMachine: {machine(figures)}")
    (args.out / "table.txt").write_text(text + "\n")
    markdown = markdown_table(rows) + f"\n\nMachine: {machine(figures)}.\n"
    (args.out / "table.md").write_text(markdown)
    tables = {"bench table": markdown}
    peers = peer_rows(figures)
    if peers:
        header = ("Figure", *(label for _, label in PEER_COLUMNS))
        print(f"\nPeers (same run)\n{plain_table(peers, header)}")
        for program, label in PEER_COLUMNS:
            if f"peers_{program}_missing" in figures:
                print(f"{label} missing: {figures[f'peers_{program}_missing']}")
        tables["peers table"] = markdown_table(peers, header) + "\n"
        (args.out / "peers.md").write_text(tables["peers table"])
    made = []
    if args.curves:
        made = draw_curves(args.curves, args.out)
        print(f"Curves: {', '.join(str(args.out / m) for m in made)}")
    if args.docs:
        update_docs(args.docs, tables, [args.out / m for m in made])
    print("Every target holds." if all_hold else "A target does not hold.")
    return 0 if all_hold else 1


if __name__ == "__main__":
    sys.exit(main())
