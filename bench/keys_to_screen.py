#!/usr/bin/env python3
"""Keystroke to screen, launch to splash and peak memory of the real program on a virtual X
display with ibus + Mozc, side by side with a bare QLineEdit program in the same run.

    keys_to_screen.py --pelko BIN --floor BIN --tool BIN --out FIGURES [--keys 500]

Writes "name value" lines to FIGURES. Keys go through XTEST; a key counts as shown at the
first XDAMAGE report that reaches the input box's rows. Plain keys run without an input
method; romaji runs through ibus + Mozc (preedit on every letter, Enter commits). Mozc will
not run as root, so as root the script runs itself as the acceptance suites' user.
Run it under `flock /tmp/pelko-e2e.lock`, as the acceptance suites run.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
E2E = HERE.parent / "tests" / "e2e"
LINE = 60  # characters per problem line
PROBLEM_CHARS = 32767
LAUNCHES = 5


def problem(pool):
    text = (pool * (PROBLEM_CHARS // len(pool) + 1))[:PROBLEM_CHARS]
    return [text[i:i + LINE] for i in range(0, len(text), LINE)]


PLAIN = problem("abcdefghijklmnopqrstuvwxyz")
KANA = problem("あいうえお")


def plain_keys(count, line_ends):
    """Keys that type the plain problem from its start; (keys, measured) with Enter at line
    ends not measured: the floor has no lines."""
    keys, measured = [], []
    for line in PLAIN:
        for c in line:
            keys.append(c)
            measured.append(True)
            if sum(measured) == count:
                return keys, measured
        if line_ends:
            keys.append("Return")
            measured.append(False)
    return keys, measured


def romaji_keys(count, line_ends):
    """"aiueo" and Enter to commit, a second Enter at line ends (not measured)."""
    keys, measured = [], []
    while sum(measured) < count:
        for group in range(LINE // 5):
            keys += ["a", "i", "u", "e", "o", "Return"]
            measured += [True] * 6
        if line_ends:
            keys.append("Return")
            measured.append(False)
    return keys, measured


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * share))]


def peak_mb(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    return -1


class Bench:
    def __init__(self, session, args, work):
        self.s = session
        self.args = args
        self.work = Path(work)
        self.figures = {}

    def put(self, name, value):
        self.figures[name] = value
        print(f"{name} {value}", flush=True)
        # Figures so far survive a later failure.
        with open(self.args.out, "a") as out:
            out.write(f"{name} {value}\n")

    def pelko(self, name, lines, im, status_file=True):
        from e2e_pelko import Pelko

        class BenchPelko(Pelko):
            """Started as the acceptance runs start it, with the input method of the bench's
            choosing: "compose" is Qt's own default when none is named."""

            def launch(self):
                session, spawn = self.s, self.s.spawn

                def spawn_with(args, what, **kwargs):
                    session.env = dict(session.env, **self.bench_env)
                    return spawn(args, what, **kwargs)

                session.spawn = spawn_with
                try:
                    super().launch()
                finally:
                    del session.spawn

        pelko = BenchPelko(self.s, self.args.pelko, self.work / name, lines, minutes=60)
        pelko.bench_env = {"QT_IM_MODULE": "ibus" if im else "compose"}
        # The status file the acceptance runs read is written on every character: off for the
        # runs that are timed.
        if not status_file:
            pelko.bench_env["PELKO_E2E_STATUS_FILE"] = ""
        pelko.start()
        return pelko

    def start_typing(self, pelko, band):
        """The space bar starts the run, which shows the input box: its damage says so."""
        from e2e_pelko import PRACTICE

        pelko.open_practice()
        pelko.enter_user()
        for _ in range(5):
            window = self.s.focus(PRACTICE)
            time.sleep(0.5)
            started = self.s.run([str(self.args.tool), "keys", window, str(band[0]),
                                  str(band[1]), "space"]).stdout.split()
            if started and int(started[1]) >= 0:
                time.sleep(1.0)
                return window
        raise RuntimeError("the space bar did not start the run")

    def time_keys(self, window, band, keys, measured):
        out = self.s.run([str(self.args.tool), "keys", window, str(band[0]), str(band[1]), *keys],
                         timeout=600).stdout.split("\n")
        times = [int(line.split()[1]) for line in out if line.strip()]
        if len(times) != len(keys):
            raise RuntimeError(f"the key timer answered {len(times)} of {len(keys)} keys")
        chosen = [t for t, m in zip(times, measured) if m]
        shown = [t / 1000 for t in chosen if t >= 0]
        return shown, len(chosen) - len(shown)

    def report(self, name, shown, missed):
        if len(shown) < missed:
            shot = self.args.logs / f"{name}.png"
            self.s.screenshot(shot)
            raise RuntimeError(f"{name}: {missed} keys showed nothing; the screen: {shot}")
        self.put(f"{name}_median_ms", f"{statistics.median(shown):.2f}")
        self.put(f"{name}_p99_ms", f"{percentile(shown, 0.99):.2f}")
        self.put(f"{name}_missed", missed)

    def launch_and_memory(self):
        """Launch to the first painted window (the splash), then the main menu's peak memory
        and where the input box lies in the test window."""
        from e2e_pelko import PRACTICE

        pelko = self.pelko("layout", PLAIN, im=False)
        env = dict(self.s.env, PELKO_APPDIR=str(pelko.app), APPDATA=str(pelko.folder / "appdata"),
                   QT_QPA_PLATFORM="xcb")
        time.sleep(1.0)
        self.put("mem_menu_mb", f"{peak_mb(pelko.proc.pid):.1f}")
        pelko.open_practice()
        pelko.enter_user()
        pelko.start_run()
        x, y, _, _ = self.s.geometry(self.s.find_window(PRACTICE))
        _, centre_y = pelko.box_centre()
        pelko.stop()

        times = []
        for _ in range(LAUNCHES):
            out = subprocess.run([str(self.args.tool), "launch", str(pelko.binary)], env=env,
                                 capture_output=True, text=True, timeout=60).stdout.split()
            times.append(float(out[1]))
            self.put("launch_window", "_".join(out[2:]) or "?")
        self.put("launch_splash_ms", f"{statistics.median(times):.1f}")
        return centre_y - y - 4, centre_y - y + 4

    def floor(self, keys, measured, im):
        env = dict(self.s.env, QT_QPA_PLATFORM="xcb", QT_IM_MODULE="ibus" if im else "compose")
        saved, self.s.env = self.s.env, env
        try:
            proc = self.s.spawn([str(self.args.floor)], "floor")
        finally:
            self.s.env = saved
        try:
            window = self.s.focus("bare line edit")
            time.sleep(1.0)
            return self.time_keys(window, (0, 33), keys, measured)
        finally:
            proc.terminate()
            proc.wait(timeout=10)

    def run(self, kinds):
        band = self.launch_and_memory()
        count = self.args.keys
        failed = False
        for name, im, make in (("key_plain", False, plain_keys), ("key_romaji", True, romaji_keys)):
            if name.split("_")[1] not in kinds:
                continue
            try:
                keys, measured = make(count, line_ends=False)
                self.report(f"{name}_floor", *self.floor(keys, measured, im))
                pelko = self.pelko(name, PLAIN if not im else KANA, im, status_file=False)
                try:
                    window = self.start_typing(pelko, band)
                    keys, measured = make(count, line_ends=True)
                    self.report(name, *self.time_keys(window, band, keys, measured))
                    if not im:
                        self.put("mem_run_mb", f"{peak_mb(pelko.proc.pid):.1f}")
                finally:
                    pelko.stop()
            except Exception as failure:  # the other kind still runs
                print(f"{name} failed: {failure}", file=sys.stderr, flush=True)
                failed = True
        return not failed


def run_here(args):
    sys.dont_write_bytecode = True
    sys.path.insert(0, str(args.e2e))
    from e2e_session import Session

    with tempfile.TemporaryDirectory(prefix="pelko-keys-") as home:
        logs = Path(home) / "logs"
        logs.mkdir()
        args.logs = logs
        with Session("ibus", Path(home) / "home", logs) as session:
            bench = Bench(session, args, Path(home) / "work")
            try:
                if bench.run(args.only.split(",")):
                    return 0
            except Exception as failure:
                print(f"failed: {failure}", file=sys.stderr)
            for log in sorted(logs.glob("*")):
                if log.suffix == ".png":
                    shutil.copy2(log, args.out.parent / log.name)
                    print(f"--- {log.name} copied next to {args.out}", file=sys.stderr)
                elif log.stat().st_size:
                    sys.stderr.write(f"--- {log.name}\n{log.read_text(errors='replace')[-2000:]}\n")
            return 1


def run_as_user(args):
    """Mozc refuses root: the same run as the acceptance suites' user, on copies."""
    sys.dont_write_bytecode = True
    sys.path.insert(0, str(E2E))
    from pelko_e2e import USER, ensure_user

    user = ensure_user()
    work = Path(tempfile.mkdtemp(prefix="pelko-keys-"))
    try:
        (work / "e2e").mkdir()
        for script in E2E.glob("*.py"):
            shutil.copy2(script, work / "e2e" / script.name)
        shutil.copy2(__file__, work / "keys_to_screen.py")
        for name in ("pelko", "floor", "tool"):
            shutil.copy2(getattr(args, name), work / name)
        for path in [work, *work.rglob("*")]:
            os.chown(path, user.pw_uid, user.pw_gid)
        command = ["runuser", "-u", USER, "--", "/usr/bin/python3", str(work / "keys_to_screen.py"),
                   "--pelko", str(work / "pelko"), "--floor", str(work / "floor"),
                   "--tool", str(work / "tool"), "--out", str(work / "figures"),
                   "--keys", str(args.keys), "--only", args.only, "--e2e", str(work / "e2e")]
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": user.pw_dir,
               "USER": USER, "LOGNAME": USER}
        rc = subprocess.run(command, env=env, cwd=work).returncode
        for made in work.glob("*"):
            if made.name == "figures":
                shutil.copy2(made, args.out)
            elif made.suffix == ".png":
                shutil.copy2(made, args.out.parent / made.name)
        return rc
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pelko", type=Path, required=True)
    parser.add_argument("--floor", type=Path, required=True)
    parser.add_argument("--tool", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--keys", type=int, default=500)
    parser.add_argument("--only", default="plain,romaji", help="plain, romaji or both")
    parser.add_argument("--e2e", type=Path, default=E2E)
    args = parser.parse_args()
    args.pelko, args.floor, args.tool = (p.resolve() for p in (args.pelko, args.floor, args.tool))
    args.out = args.out.resolve()
    args.out.unlink(missing_ok=True)
    if os.getuid() == 0:
        return run_as_user(args)
    return run_here(args)


if __name__ == "__main__":
    sys.exit(main())
