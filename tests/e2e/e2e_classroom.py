#!/usr/bin/env python3
"""A class on one log: three ordinary users of one group, one after another and two at once.

    e2e_classroom.py --pelko build/bin/pelko --out build/tests/e2e/classroom

As root it makes the group "pelko-class" and the users "pelko-s1" … "pelko-s3" when missing,
a class folder root:pelko-class 2775 for the log, and a share the students may only read
holding the program, pelko.ini, DATA/ and PLACTICE/. One Xvfb (-ac) serves every student;
each program runs as its student with umask 022 and takes plain keys (no input method).
The class folder is taken away during one run and brought back for the next.

Exit status: 0 passed, 1 failed, 77 skipped (not root or tools missing; PELKO_E2E_REQUIRE=1
or CI fail instead).
"""

import argparse
import fcntl
import grp
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
from e2e_pelko import ENTRY, FINISHED, MENU, PRACTICE  # noqa: E402
from e2e_session import E2EFailure, poll  # noqa: E402

GROUP = "pelko-class"
STUDENTS = ("pelko-s1", "pelko-s2", "pelko-s3")
LOG_ERROR = "ログ書き込みエラー"
PROBLEM = "abcd"
SKIP = 77
TOOLS = ("/usr/bin/Xvfb", "/usr/bin/xdotool", "/usr/bin/import", "/usr/sbin/runuser",
         "/usr/sbin/useradd")


def required():
    return os.environ.get("PELKO_E2E_REQUIRE") == "1" or bool(os.environ.get("CI"))


def ensure_students():
    try:
        grp.getgrnam(GROUP)
    except KeyError:
        subprocess.run(["groupadd", GROUP], check=True)
    for student in STUDENTS:
        try:
            pwd.getpwnam(student)
            subprocess.run(["usermod", "-aG", GROUP, student], check=True)
        except KeyError:
            subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin",
                            "--groups", GROUP, "--comment", "Pelko classroom runs", student],
                           check=True)
        home = Path(pwd.getpwnam(student).pw_dir)
        # Each run of the suite starts from students who never ran Pelko.
        for own in (home / ".config/pelko", home / ".local/share/pelko"):
            shutil.rmtree(own, ignore_errors=True)


class Classroom:
    def __init__(self, binary, out):
        self.out = out
        self.work = Path(tempfile.mkdtemp(prefix="pelko-class-"))
        self.work.chmod(0o755)
        self.share = self.work / "share"
        self.classFolder = self.work / "class"
        self.procs = {}
        self.env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}
        self._make_share(binary)

    def _make_share(self, binary):
        for sub in ("DATA", "PLACTICE"):
            (self.share / sub).mkdir(parents=True)
            (self.share / sub / "jpn_dat.001").write_bytes(PROBLEM.encode("cp932") + b"\r\n")
        ini = (f"[default]\r\ntime=3\r\ngspd=25\r\ndata={self.share / 'DATA'}/\r\n"
               f"testdata={self.share / 'PLACTICE'}/\r\nSortMode=SEQUENCE\r\n"
               f"[MainLog]\r\nPath={self.classFolder}/\r\nName=pelko.log\r\n"
               f"[Sublog]\r\nPath={self.classFolder}/\r\nFlag=0\r\n")
        (self.share / "pelko.ini").write_bytes(ini.encode("cp932"))
        shutil.copy2(binary, self.share / "pelko")
        # Students may only read the share: no PELKO_APPDIR, the program finds it is no
        # installation by the pelko.ini and DATA/ beside it.
        for path in [self.share, *self.share.rglob("*")]:
            path.chmod(0o755 if path.is_dir() or path.name == "pelko" else 0o644)
        self.classFolder.mkdir()
        os.chown(self.classFolder, 0, grp.getgrnam(GROUP).gr_gid)
        self.classFolder.chmod(0o2775)

    # -- display -------------------------------------------------------------------------

    def __enter__(self):
        log = open(self.out / "xvfb.log", "ab")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-ac", "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
            stdout=subprocess.PIPE, stderr=log, start_new_session=True)
        number = self.xvfb.stdout.readline().decode().strip()
        if not number.isdigit():
            raise E2EFailure("Xvfb did not report a display number")
        self.env["DISPLAY"] = ":" + number
        return self

    def __exit__(self, *exc):
        for student in list(self.procs):
            self.stop(student)
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)
        shutil.rmtree(self.work, ignore_errors=True)

    def run(self, *args, check=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise E2EFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result

    def keys(self, *keys):
        self.run("xdotool", "key", "--delay", "40", *keys)

    def shot(self, moment):
        self.run("import", "-window", "root", str(self.out / f"classroom-{moment}.png"))

    # -- one student's program -----------------------------------------------------------

    def start(self, student):
        user = pwd.getpwnam(student)
        runtime = self.work / f"runtime-{student}"
        runtime.mkdir(mode=0o700, exist_ok=True)
        os.chown(runtime, user.pw_uid, user.pw_gid)
        env = dict(self.env, HOME=user.pw_dir, USER=student, LOGNAME=student,
                   XDG_RUNTIME_DIR=str(runtime), QT_QPA_PLATFORM="xcb", NO_AT_BRIDGE="1")
        log = open(self.out / f"{student}.log", "ab")
        # Debian's default umask: what a student's own files come out as.
        runner = subprocess.Popen(
            ["runuser", "-u", student, "--", "sh", "-c", 'umask 022; exec "$0"',
             str(self.share / "pelko")],
            env=env, stdout=log, stderr=log, stdin=subprocess.DEVNULL, start_new_session=True)
        self.procs[student] = runner
        self.wait_window(student, MENU, timeout=30)

    def stop(self, student):
        runner = self.procs.pop(student, None)
        if runner and runner.poll() is None:
            os.killpg(runner.pid, signal.SIGTERM)
            try:
                runner.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(runner.pid, signal.SIGKILL)
                runner.wait()

    def program_pid(self, student):
        children = Path(f"/proc/{self.procs[student].pid}/task/{self.procs[student].pid}/children")
        pids = children.read_text().split() if children.exists() else []
        return pids[0] if pids else None

    def find_window(self, student, title):
        pid = self.program_pid(student)
        if not pid:
            return None
        found = self.run("xdotool", "search", "--all", "--onlyvisible", "--pid", pid, "--name",
                         f"^{title}$", check=False).stdout.split()
        return found[-1] if found else None

    def wait_window(self, student, title, timeout=20):
        return poll(f'{student}: the window "{title}"',
                    lambda: self.find_window(student, title), timeout)

    def focus(self, student, title):
        window = self.wait_window(student, title)
        self.run("xdotool", "windowfocus", "--sync", window)
        return window

    def open_run(self, student):
        """Main menu → 練習 → user entry → the run started with the space bar."""
        menu = self.wait_window(student, MENU)
        values = dict(line.split("=", 1) for line in
                      self.run("xdotool", "getwindowgeometry", "--shell", menu).stdout.split()
                      if "=" in line)
        x, y, w = int(values["X"]), int(values["Y"]), int(values["WIDTH"])
        # Two students' menus lie on the same spot: the click must reach this one.
        self.run("xdotool", "windowraise", menu)
        self.run("xdotool", "mousemove", str(x + w // 2), str(y + 28), "click", "1")
        self.focus(student, ENTRY)
        self.keys("shift+Tab", "ctrl+a", *student[-2:].replace("-", ""), "Tab",
                  *"name", "Return")
        self.focus(student, PRACTICE)
        self.keys("space")
        time.sleep(0.5)
        self.keys(*PROBLEM)

    def finish_run(self, student, expect_error=False):
        """The Enter after the last line, then the boxes the run ends with."""
        self.focus(student, PRACTICE)
        self.keys("Return")
        self.focus(student, FINISHED)
        self.keys("Return")
        if expect_error:
            self.focus(student, LOG_ERROR)
            self.shot(f"{student}-kept")
            self.keys("Return")
        else:
            time.sleep(1.0)
            if self.find_window(student, LOG_ERROR):
                self.shot(f"{student}-unexpected-error")
                raise E2EFailure(f"{student}: the log could not be written")

    def whole_run(self, student, expect_error=False):
        self.start(student)
        self.open_run(student)
        self.finish_run(student, expect_error)
        self.stop(student)

    # -- what landed -----------------------------------------------------------------------

    def export_verdicts(self, student, site_ini):
        """合格 / 不合格 of every record, as `pelko --export-csv` run by the student on an
        installed program decides them under this site file."""
        installed = self.work / "usr/bin"
        if not installed.exists():
            installed.mkdir(parents=True)
            shutil.copy2(self.share / "pelko", installed / "pelko")
            for path in (self.work / "usr", installed):
                path.chmod(0o755)
        site = self.work / "xdg/pelko/pelko.ini"
        site.parent.mkdir(parents=True, exist_ok=True)
        site.write_bytes(site_ini.encode("cp932"))
        user = pwd.getpwnam(student)
        result = subprocess.run(
            ["runuser", "-u", student, "--", str(installed / "pelko"), "--export-csv",
             str(self.classFolder / "pelko.log")],
            env=dict(self.env, HOME=user.pw_dir, XDG_CONFIG_DIRS=str(self.work / "xdg")),
            capture_output=True, timeout=30)
        if result.returncode != 0:
            raise E2EFailure(f"{student}: --export-csv failed: {result.stderr.decode()}")
        rows = result.stdout.decode("utf-8-sig").splitlines()[1:]
        return [cell for row in rows for cell in row.split(",") if cell in ("合格", "不合格")]

    def records(self):
        path = self.classFolder / "pelko.log"
        lines = path.read_bytes().decode("cp932").split("\r\n") if path.exists() else []
        return [line.split(",") for line in lines if line]

    def kept(self, student):
        pending = Path(pwd.getpwnam(student).pw_dir) / ".local/share/pelko/pending"
        return sorted(pending.glob("*.rec")) if pending.exists() else []


def expect(what, got, wanted):
    if got != wanted:
        raise E2EFailure(f"{what}: got {got!r}, expected {wanted!r}")


def journey(room):
    # One after another: the second and third student append to what the first created.
    for student in STUDENTS:
        room.whole_run(student)
    log = room.classFolder / "pelko.log"
    mode = log.stat().st_mode & 0o777
    expect("the log's permissions", oct(mode), oct(0o664))
    expect("the log's group", grp.getgrgid(log.stat().st_gid).gr_name, GROUP)

    # Two at once.
    room.start(STUDENTS[0])
    room.start(STUDENTS[1])
    room.open_run(STUDENTS[0])
    room.open_run(STUDENTS[1])
    room.shot("two-at-once")
    room.finish_run(STUDENTS[0])
    room.finish_run(STUDENTS[1])
    room.stop(STUDENTS[0])
    room.stop(STUDENTS[1])

    # The class folder goes away during a run: the record is kept and arrives with the
    # next run once the folder is back.
    away = room.work / "class-away"
    room.start(STUDENTS[2])
    room.open_run(STUDENTS[2])
    room.classFolder.rename(away)
    try:
        room.finish_run(STUDENTS[2], expect_error=True)
    finally:
        away.rename(room.classFolder)
    room.stop(STUDENTS[2])
    expect("records kept for the third student", len(room.kept(STUDENTS[2])), 1)
    room.whole_run(STUDENTS[2])
    expect("records still kept after the folder came back", room.kept(STUDENTS[2]), [])

    records = room.records()
    expect("record numbers", [r[0] for r in records], [str(n) for n in range(7)])
    ids = [r[3].strip('"') for r in records]
    expect("who wrote, in order", ids[:3] + sorted(ids[3:5]) + ids[5:],
           ["s1", "s2", "s3", "s1", "s2", "s3", "s3"])
    expect("the kept record's place", records[5][3], '"s3"')

    # The site fixes the pass line: a student's own file cannot lower it, with or without
    # a file of his own; a plain site value reaches a student at his next start.
    own = Path(pwd.getpwnam(STUDENTS[0]).pw_dir) / ".config/pelko"
    own.mkdir(parents=True, exist_ok=True)
    (own / "pelko.ini").write_bytes(b"[default]\r\ngspd=0\r\n")
    subprocess.run(["chown", "-R", f"{STUDENTS[0]}:", str(own.parent)], check=True)
    fixed = "[default][$i]\r\ngspd=30000\r\n"
    for student in STUDENTS[:2]:
        expect(f"{student}: verdicts under a fixed pass line of 30000",
               room.export_verdicts(student, fixed), ["不合格"] * 7)
    expect("verdicts once the site's plain pass line is 0",
           room.export_verdicts(STUDENTS[1], "[default]\r\ngspd=0\r\n"), ["合格"] * 7)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelko", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()
    gone = [tool for tool in TOOLS if not Path(tool).exists()]
    if os.geteuid() != 0 or gone:
        why = "not root" if os.geteuid() != 0 else f"missing {', '.join(gone)}"
        print(f"SKIP: the classroom journey needs root and its tools: {why}")
        return 1 if required() else SKIP
    args.out.mkdir(parents=True, exist_ok=True)
    with open("/tmp/pelko-e2e.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # one acceptance suite on the display at a time
        ensure_students()
        started = time.monotonic()
        try:
            with Classroom(args.pelko.resolve(), args.out.resolve()) as room:
                try:
                    journey(room)
                except E2EFailure:
                    room.shot("failure")
                    raise
        except E2EFailure as failure:
            print(f"FAIL classroom: {failure}")
            return 1
        print(f"PASS classroom ({time.monotonic() - started:.0f} s)")
        return 0


if __name__ == "__main__":
    sys.exit(main())
