#!/usr/bin/env python3
"""Keystroke to screen, launch to splash and peak memory of the real program on a virtual X
display with ibus + Mozc, side by side with a bare QLineEdit program in the same run.

    keys_to_screen.py --pelko BIN --floor BIN --tool BIN --out FIGURES [--keys 500] [--peers]

Writes "name value" lines to FIGURES. Keys go through XTEST; a key counts as shown at the
first XDAMAGE report that reaches the input box's rows. Plain keys run without an input
method; romaji runs through ibus + Mozc (preedit on every letter, Enter commits). Mozc will
not run as root, so as root the script runs itself as the acceptance suites' user.
Run it under `flock /tmp/pelko-e2e.lock`, as the acceptance suites run.

--peers adds two typing tutors, TIPP10 and Klavaro, beside Pelko and the floor: plain keys,
rounds in turn, key to screen, CPU per 300 keys, peak memory and launch, in "peers_" lines.
"""

import argparse
import os
import shutil
import sqlite3
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
ROUNDS = 5
PEERS = ("pelko", "floor", "tipp10", "klavaro")


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


def cpu_ms(pid):
    """utime + stime; the name in /proc/PID/stat may hold spaces."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


def text_keys(paragraphs, count):
    """Keys that type paragraphs as a tutor dictates them, Enter at each end (not measured)."""
    keys, measured = [], []
    for paragraph in paragraphs:
        for c in paragraph:
            keys.append("space" if c == " " else c)
            measured.append(True)
            if sum(measured) == count:
                return keys, measured
        keys.append("Return")
        measured.append(False)
    raise ValueError("the text is shorter than the keys wanted")


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

    def time_keys(self, window, band, keys, measured, im=False):
        out = self.s.run([str(self.args.tool), "keys", window, str(band[0]), str(band[1]), *keys],
                         timeout=600).stdout.split("\n")
        answers = [line.split() for line in out if line.strip()]
        times = [int(answer[1]) for answer in answers]
        if len(times) != len(keys):
            raise RuntimeError(f"the key timer answered {len(times)} of {len(keys)} keys")
        # A band that goes on changing after the echo (an animation) gives the next key a
        # change that is not its echo. Through an input method a key's preedit may come in
        # several drawings.
        moving = sum(1 for answer in answers if int(answer[2]) > 0)
        if not im and moving > len(keys) // 20:
            raise RuntimeError(f"the timed rows changed by themselves after {moving} of "
                               f"{len(keys)} echoes")
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
        self.launch_with = (pelko.binary, env)
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

    def spawn_with(self, args, name, **env):
        saved, self.s.env = self.s.env, dict(self.s.env, **env)
        try:
            return self.s.spawn(args, name)
        finally:
            self.s.env = saved

    def floor(self, keys, measured, im):
        proc = self.spawn_with([str(self.args.floor)], "floor", QT_QPA_PLATFORM="xcb",
                               QT_IM_MODULE="ibus" if im else "compose")
        try:
            window = self.s.focus("bare line edit")
            time.sleep(1.0)
            return self.time_keys(window, (0, 33), keys, measured, im)
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
                    self.report(name, *self.time_keys(window, band, keys, measured, im))
                    if not im:
                        self.put("mem_run_mb", f"{peak_mb(pelko.proc.pid):.1f}")
                finally:
                    pelko.stop()
            except Exception as failure:  # the other kind still runs
                print(f"{name} failed: {failure}", file=sys.stderr, flush=True)
                failed = True
        if self.args.peers and not Peers(self, band).run():
            failed = True
        return not failed


class Peers:
    """Pelko, the floor and two typing tutors in rounds, the order turned each round so that
    a slow phase of the machine falls on each in turn. Each start reaches the typing screen
    and returns (pid, stop, window, band, keys, measured); with launch, only what to start
    for the launch timing: (program, environment)."""

    def __init__(self, bench, band):
        self.b, self.s, self.band = bench, bench.s, band
        self.count = bench.args.keys
        self.proc = None
        self.tipp10_db = None

    def scratch_home(self, name):
        """A fresh home for each start: the tutors keep settings and results there."""
        home = self.b.work / "peers" / f"{name}-{time.monotonic_ns()}"
        (home / ".config").mkdir(parents=True)
        return home, {"HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config"),
                      "XDG_DATA_HOME": str(home / ".local" / "share")}

    def window(self, title, timeout=30):
        """A mapped top-level window by its exact name; xdotool's --onlyvisible misses
        TIPP10's, so the tree is read instead."""
        def mapped():
            for line in self.s.run(["xwininfo", "-root", "-children"]).stdout.splitlines():
                parts = line.split(f' "{title}": ', 1)
                if len(parts) == 2 and not parts[1].split()[-2].startswith("1x1"):
                    return parts[0].split()[0]
            return None

        from e2e_session import E2EFailure, poll
        try:
            window = poll(f'the window "{title}"', mapped, timeout)
        except E2EFailure as failure:
            windows = self.s.run(["xwininfo", "-root", "-children"]).stdout.splitlines()[6:]
            raise RuntimeError(f"{failure}; windows: {' | '.join(w.strip() for w in windows)}")
        self.s.xdotool("mousemove", "1270", "890")  # no tooltip over the band
        self.s.xdotool("windowfocus", "--sync", window)
        return window

    def press(self, window, band, key):
        """One key through the timer: did anything change in the band?"""
        out = self.s.run([str(self.b.args.tool), "keys", window, str(band[0]), str(band[1]),
                          key]).stdout.split()
        return bool(out) and int(out[1]) >= 0

    def start_pelko(self, launch=False):
        if launch:
            return self.b.launch_with
        pelko = self.b.pelko(f"peers-{time.monotonic_ns()}", PLAIN, im=False, status_file=False)
        try:
            window = self.b.start_typing(pelko, self.band)
        except Exception:
            pelko.stop()
            raise
        return (pelko.proc.pid, pelko.stop, window, self.band,
                *plain_keys(self.count, line_ends=True))

    def start_floor(self, launch=False):
        env = {"QT_QPA_PLATFORM": "xcb", "QT_IM_MODULE": "compose"}
        if launch:
            return self.b.args.floor, env
        proc = self.spawn([str(self.b.args.floor)], "floor", env)
        return self.started(proc, self.s.focus("bare line edit"), (0, 33),
                            plain_keys(self.count, line_ends=False))

    def spawn(self, args, name, env):
        """Started as the session starts its own; one that fails to reach its typing screen
        is stopped after the screenshot."""
        self.proc = self.b.spawn_with(args, name, **env)
        return self.proc

    def started(self, proc, window, band, keys):
        def stop():
            proc.terminate()
            proc.wait(timeout=10)

        time.sleep(1.0)
        return (proc.pid, stop, window, band, *keys)

    def tipp10_home(self, db):
        """A home whose TIPP10 opens on its own lessons, with db as its database."""
        home, env = self.scratch_home("tipp10")
        data = home / ".local" / "share" / "TIPP10" / "TIPP10"
        data.mkdir(parents=True)
        shutil.copy2(db, data / "tipp10v2.db")
        (home / ".config" / "TIPP10").mkdir()
        (home / ".config" / "TIPP10" / "TIPP10.conf").write_text(
            "[main]\ncheck_illustration=false\nlanguage_layout=us_qwerty_win\n"
            "language_lesson=en_us_qwerty\n\n[lesson]\ntab_current=2\nlist_own=1\n\n"
            "[intelligence]\ncheck_intelligence=false\n\n"
            "[duration]\nradio_lesson=true\nradio_time=false\nradio_token=false\n\n"
            # The ticker jumps instead of scrolling: the scroll is a timer's animation in the
            # timed rows, whose frames came before the echo for most keys.
            "[settings]\nticker_speed=0\n")
        env.update(QT_QPA_PLATFORM="xcb", QT_IM_MODULE="compose")
        return data / "tipp10v2.db", env

    def tipp10_database(self):
        """TIPP10's first start fills its database from the template, a transaction a row
        (15 to over 30 s here): done once, and every start after begins from its result, as
        a user's second start would."""
        if self.tipp10_db:
            return self.tipp10_db
        template = Path("/usr/share/tipp10/tipp10v2.template")
        if not shutil.which("tipp10") or not template.exists():
            raise RuntimeError("tipp10 is not installed")
        db, env = self.tipp10_home(template)
        proc = self.spawn(["tipp10"], "tipp10", env)
        self.window("TIPP10", timeout=180)
        proc.terminate()
        proc.wait(timeout=10)
        with sqlite3.connect(db) as made:
            made.execute("DELETE FROM own_content")
            made.execute("DELETE FROM own_list")
            made.execute("INSERT INTO own_list VALUES (1, 'bench', 'bench', 0)")
            made.executemany("INSERT INTO own_content (content_text, content_lesson) "
                             "VALUES (?, 1)", [(line,) for line in PLAIN[:self.count // LINE + 2]])
        self.tipp10_db = db
        return db

    def start_tipp10(self, launch=False):
        """An own lesson of Pelko's plain lines, dictated in order (no "intelligence") and
        whole; errors block, as by default; the ticker not scrolled by its timer. Start
        Training (Alt+S), then the space bar."""
        _, env = self.tipp10_home(self.tipp10_database())
        if launch:
            return "tipp10", env
        proc = self.spawn(["tipp10"], "tipp10", env)
        window = self.window("TIPP10")
        time.sleep(1.0)
        self.s.xdotool("key", "alt+s")
        band = (72, 102)  # the ticker's rows at the window's default size
        for _ in range(10):
            time.sleep(0.5)
            if self.press(window, band, "space"):
                return self.started(proc, window, band, plain_keys(self.count, line_ends=True))
        raise RuntimeError("TIPP10's lesson did not start on the space bar")

    def start_klavaro(self, launch=False):
        """The fluidity exercise on a text of our own, every paragraph alike so that whichever
        Klavaro picks is the one typed; it opens straight there (autostart). Any key starts."""
        if not shutil.which("klavaro"):
            raise RuntimeError("klavaro is not installed")
        home, env = self.scratch_home("klavaro")
        config = home / ".config"
        words = self.count // 3 // 27 + 2
        paragraph = " ".join(["abcdefghijklmnopqrstuvwxyz"] * words)
        (config / "klavaro").mkdir()
        (config / "klavaro" / "bench.paragraphs").write_text((paragraph + "\n\n") * 10)
        (config / "klavaro" / "preferences.ini").write_text(
            "[interface]\nlanguage=C\nspeech=false\nautostart=true\nexercise=3\n\n"
            "[tutor]\nkeyboard=qwerty_us\nfluid_paragraphs=3\nparagraph_list=bench\n")
        # A blinking cursor in the band would pass for an echo.
        (config / "gtk-3.0").mkdir()
        (config / "gtk-3.0" / "settings.ini").write_text("[Settings]\ngtk-cursor-blink=false\n")
        env.update(GTK_IM_MODULE="gtk-im-context-simple")
        if launch:
            return "klavaro", env
        proc = self.spawn(["klavaro"], "klavaro", env)
        window = self.window("Klavaro - Fluidness")
        time.sleep(1.0)
        band = (452, 490)  # the entry that echoes what is typed
        if not self.press(window, band, "space"):
            raise RuntimeError("Klavaro's exercise did not start on a key")
        return self.started(proc, window, band, text_keys([paragraph] * 3, self.count))

    def launch(self, name):
        program, env = getattr(self, f"start_{name}")(launch=True)
        done = subprocess.run([str(self.b.args.tool), "launch", str(program)],
                              env=dict(self.s.env, **env), capture_output=True, text=True,
                              timeout=60)
        # Klavaro talks on its standard output, which the tool shares.
        out = [line.split() for line in done.stdout.splitlines()
               if line.startswith("launch_to_paint_ms ")]
        if not out or float(out[-1][1]) < 0:
            raise RuntimeError(f"no window painted: {done.stderr[-300:]}")
        self.b.put(f"peers_{name}_launch_window", "_".join(out[-1][2:]) or "?")
        return float(out[-1][1])

    def round(self, name, got):
        pid, stop, window, band, keys, measured = getattr(self, f"start_{name}")()
        try:
            before = cpu_ms(pid)
            shown, missed = self.b.time_keys(window, band, keys, measured)
            if missed > len(shown):  # typing into the wrong place, not a slow echo
                raise RuntimeError(f"{missed} of {sum(measured)} keys showed nothing")
            got["cpu"].append((cpu_ms(pid) - before) * 300 / len(keys))
            got["mb"].append(peak_mb(pid))
            got["shown"] += shown
            got["missed"] += missed
        finally:
            stop()
        got["launch"].append(self.launch(name))

    def run(self):
        got = {name: {"shown": [], "missed": 0, "cpu": [], "mb": [], "launch": []}
               for name in PEERS}
        missing = {}
        for turn in range(ROUNDS):
            for name in PEERS[turn % len(PEERS):] + PEERS[:turn % len(PEERS)]:
                if name in missing:
                    continue
                try:
                    self.round(name, got[name])
                except Exception as failure:  # the others still run
                    shot = self.b.args.out.parent / f"peers-{name}.png"
                    self.s.screenshot(shot)
                    if self.proc and self.proc.poll() is None:
                        self.proc.kill()
                        self.proc.wait()
                    log = self.b.args.logs / f"{name}.log"
                    said = log.read_text(errors="replace")[-300:] if log.exists() else ""
                    missing[name] = f"{failure} (screen: {shot.name}) {' '.join(said.split())}"
                    print(f"peers: {name} missing: {missing[name]}", file=sys.stderr, flush=True)
        for name in PEERS:
            if name in missing:
                self.b.put(f"peers_{name}_missing", missing[name])
                continue
            g = got[name]
            self.b.put(f"peers_{name}_median_ms", f"{statistics.median(g['shown']):.2f}")
            self.b.put(f"peers_{name}_p99_ms", f"{percentile(g['shown'], 0.99):.2f}")
            self.b.put(f"peers_{name}_missed", g["missed"])
            self.b.put(f"peers_{name}_cpu_ms", f"{statistics.median(g['cpu']):.0f}")
            self.b.put(f"peers_{name}_mem_mb", f"{statistics.median(g['mb']):.1f}")
            self.b.put(f"peers_{name}_launch_ms", f"{statistics.median(g['launch']):.1f}")
        # A tutor that cannot run is a figure of its own, not a failed run.
        return "pelko" not in missing and "floor" not in missing


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
        if args.peers:
            command.append("--peers")
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
    parser.add_argument("--only", default="plain,romaji",
                        help="plain, romaji, both or none (\"\")")
    parser.add_argument("--peers", action="store_true", help="also TIPP10 and Klavaro, in rounds")
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
