#!/usr/bin/env python3
"""A class on one log: three ordinary users of one group under one Xvfb (-ac), umask 022,
plain keys, one after another and two at once; the class folder taken away for one run.
Then two PCs of two sites on one results database (a PostgreSQL 15 of its own), and the
teacher's 成績一覧 showing both runs, then one site's. Last, the site key's folder checks.

    e2e_classroom.py --pelko build/bin/pelko --out build/tests/e2e/classroom

As root it makes the group "pelko-class" and the users "pelko-s1" … "pelko-s3" when missing,
a class folder root:pelko-class 2775 and a share the students may only read holding the
program, pelko.ini, DATA/ and PLACTICE/. Exit status 0, 1 failed, 77 skipped (not root).
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
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
from e2e_pelko import ENTRY, FINISHED, MENU, PRACTICE  # noqa: E402
from e2e_database import PG, Server, ordinary_user  # noqa: E402
from e2e_session import MARKER, E2EFailure, Session, poll  # noqa: E402

GROUP = "pelko-class"
STUDENTS = ("pelko-s1", "pelko-s2", "pelko-s3")
LOG_ERROR = "ログ書き込みエラー"
PROBLEM = "abcd"


def expect(what, got, wanted):
    if got != wanted:
        raise E2EFailure(f"{what}: got {got!r}, expected {wanted!r}")


def home(student):
    return Path(pwd.getpwnam(student).pw_dir)


class Classroom(Session):
    """The virtual display, open to every user, and the class's folders."""

    def __init__(self, binary, out):
        self.work = Path(tempfile.mkdtemp(prefix="pelko-class-"))
        super().__init__("none", self.work / "root", out)
        self.share, self.classFolder, self.students = self.work / "share", self.work / "class", {}
        ini = (f"[default]\r\ntime=3\r\ndata={self.share}/DATA/\r\ntestdata={self.share}/PLACTICE/"
               f"\r\nSortMode=SEQUENCE\r\n[MainLog]\r\nPath={self.classFolder}/\r\n")
        for sub in ("DATA", "PLACTICE"):
            (self.share / sub).mkdir(parents=True)
            (self.share / sub / "jpn_dat.001").write_bytes(PROBLEM.encode() + b"\r\n")
        (self.share / "pelko.ini").write_bytes(ini.encode())
        shutil.copy2(binary, self.share / "pelko")
        self.work.chmod(0o755)  # the rest is root's: students only read the share
        self.classFolder.mkdir()
        os.chown(self.classFolder, 0, grp.getgrnam(GROUP).gr_gid)
        self.classFolder.chmod(0o2775)

    def _start(self):
        self.env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "LANG": "C.UTF-8", MARKER: self.token}
        xvfb = self.spawn(["Xvfb", "-displayfd", "1", "-ac", "-screen", "0", "1280x900x24",
                           "-nolisten", "tcp"], "xvfb", stdout=subprocess.PIPE)
        self.env["DISPLAY"] = self.outer = ":" + xvfb.stdout.readline().decode().strip()

    def stop(self):
        for student in list(self.students):
            self.quit(student)
        super().stop()
        shutil.rmtree(self.work, ignore_errors=True)

    # -- one student's program, its windows found by its process ----------------------------

    def start(self, student, title=MENU):
        runtime = self.work / f"runtime-{student}"
        runtime.mkdir(mode=0o700)
        shutil.chown(runtime, student)
        env = dict(self.env, HOME=str(home(student)), USER=student, XDG_RUNTIME_DIR=str(runtime),
                   QT_QPA_PLATFORM="xcb", NO_AT_BRIDGE="1",
                   PELKO_E2E_STATUS_FILE=str(runtime / "status"))
        saved, self.env = self.env, env
        try:  # Debian's default umask, as a student logs in
            self.students[student] = self.spawn(
                ["runuser", "-u", student, "--", "sh", "-c", 'umask 022; exec "$0"',
                 str(self.share / "pelko")], student)
        finally:
            self.env = saved
        self.wait_for(student, title, timeout=30)

    def quit(self, student):
        runner = self.students.pop(student)
        os.killpg(runner.pid, signal.SIGTERM)
        runner.wait(timeout=10)
        shutil.rmtree(self.work / f"runtime-{student}")

    def wait_for(self, student, title, timeout=20):
        def window():
            children = Path(f"/proc/{self.students[student].pid}/task/"
                            f"{self.students[student].pid}/children").read_text().split()
            found = self.xdotool("search", "--all", "--onlyvisible", "--pid", children[0],
                                 "--name", f"^{title}$", check=False).stdout.split() \
                if children else []
            return found[-1] if found else None
        return poll(f'{student}: the window "{title}"', window, timeout)

    def to(self, student, title):
        self.xdotool("windowfocus", "--sync", self.wait_for(student, title))

    def open_run(self, student):
        """Main menu → 練習 → the user entry → the problem typed, all but the last Enter."""
        menu = self.wait_for(student, MENU)
        x, y, w, _ = self.geometry(menu)
        self.xdotool("windowraise", menu)  # two students' menus lie on the same spot
        self.click(x + w // 2, y + 28)
        self.to(student, ENTRY)
        self.keys("shift+Tab", "ctrl+a", "s", student[-1], "Tab", *"name", "Return")
        self.to(student, PRACTICE)
        self.keys("space")
        poll(f"{student}: the run to start", (self.work / f"runtime-{student}/status").exists)
        self.keys(*PROBLEM)

    def finish_run(self, student, log_error=False):
        self.to(student, PRACTICE)
        self.keys("Return")
        self.to(student, FINISHED)
        self.keys("Return")
        if log_error:
            self.to(student, LOG_ERROR)
            self.screenshot(self.log_dir / f"classroom-{student}-kept.png")
            self.keys("Return")

    def whole_run(self, student, log_error=False):
        self.start(student)
        self.open_run(student)
        self.finish_run(student, log_error)
        self.quit(student)

    # -- what landed ---------------------------------------------------------------------------

    def records(self):
        data = (self.classFolder / "pelko.log").read_bytes().decode("cp932")
        return [line.split(",") for line in data.split("\r\n") if line]

    def kept(self, student):
        return list((home(student) / ".local/share/pelko/pending").glob("*.rec"))

    def verdicts(self, student, site_ini):
        """合格 / 不合格 of every record, from `--export-csv` run by the student on an
        installed program under this site file."""
        program = self.work / "usr/bin/pelko"
        program.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.share / "pelko", program)
        site = self.work / "xdg/pelko/pelko.ini"
        site.parent.mkdir(parents=True, exist_ok=True)
        site.write_bytes(site_ini.encode())
        out = subprocess.run(["runuser", "-u", student, "--", str(program), "--export-csv",
                              str(self.classFolder / "pelko.log")], capture_output=True,
                             env=dict(self.env, HOME=str(home(student)),
                                      XDG_CONFIG_DIRS=str(site.parent.parent)), check=True)
        return [cell for row in out.stdout.decode("utf-8-sig").splitlines()[1:]
                for cell in row.split(",") if cell in ("合格", "不合格")]


def journey(room):
    for student in STUDENTS:  # the second and third append to what the first created
        room.whole_run(student)
    log = (room.classFolder / "pelko.log").stat()
    expect("the log's mode and group", (oct(log.st_mode & 0o777), grp.getgrgid(log.st_gid).gr_name),
           (oct(0o664), GROUP))

    for student in STUDENTS[:2]:  # two at once
        room.start(student)
        room.open_run(student)
    for student in STUDENTS[:2]:
        room.finish_run(student)
        room.quit(student)

    # The class folder goes away during a run: the record waits and arrives with the next.
    room.start(STUDENTS[2])
    room.open_run(STUDENTS[2])
    room.classFolder.rename(room.work / "away")
    try:
        room.finish_run(STUDENTS[2], log_error=True)
    finally:
        (room.work / "away").rename(room.classFolder)
    room.quit(STUDENTS[2])
    expect("records kept", len(room.kept(STUDENTS[2])), 1)
    room.whole_run(STUDENTS[2])
    expect("records kept once the folder is back", room.kept(STUDENTS[2]), [])

    records = room.records()
    expect("record numbers", [r[0] for r in records], [str(n) for n in range(7)])
    ids = [r[3].strip('"') for r in records]
    expect("who wrote, in order", ids[:3] + sorted(ids[3:5]) + ids[5:],
           ["s1", "s2", "s3", "s1", "s2", "s3", "s3"])

    # A fixed site pass line holds against a student's own file, before his first start
    # too; a plain site value reaches him at his next start.
    own = home(STUDENTS[0]) / ".config/pelko/pelko.ini"
    own.parent.mkdir(parents=True, exist_ok=True)
    own.write_bytes(b"[default]\r\ngspd=0\r\n")
    subprocess.run(["chown", "-R", f"{STUDENTS[0]}:", str(own.parent.parent)], check=True)
    for student in STUDENTS[:2]:
        expect(f"{student}: verdicts under a fixed pass line of 30000",
               room.verdicts(student, "[default][$i]\r\ngspd=30000\r\n"), ["不合格"] * 7)
    expect("verdicts under a plain site pass line of 0",
           room.verdicts(STUDENTS[1], "[default]\r\ngspd=0\r\n"), ["合格"] * 7)

    # A student swaps the log for a link to another's ~/.profile, then for a FIFO: kept, unharmed.
    log, profile = room.classFolder / "pelko.log", home(STUDENTS[1]) / ".profile"
    before = profile.read_bytes()
    for swap in (f"mv {log} {log}.saved; ln -s {profile} {log}", f"rm {log}; mkfifo -m 666 {log}"):
        subprocess.run(["runuser", "-u", STUDENTS[0], "--", "sh", "-c", swap], check=True)
        room.whole_run(STUDENTS[1], log_error=True)
    expect("the .profile the log was linked to", profile.read_bytes(), before)
    expect("records kept by its owner", len(room.kept(STUDENTS[1])), 2)
    os.replace(room.classFolder / "pelko.log.saved", log)


def results_database(room):
    """Two PCs of two sites write to one results database; the teacher's 成績一覧 reads it."""
    owner = ordinary_user()
    folder = room.work / "pg"
    folder.mkdir()
    os.chown(folder, owner.pw_uid, owner.pw_gid)
    server = Server(folder, ("runuser", "-u", owner.pw_name, "--"))
    server.start()
    try:
        server.create_database()
        settings = (room.share / "pelko.ini").read_bytes()

        def site(name):
            (room.share / "pelko.ini").write_bytes(settings + (
                f"[Database]\r\nHost=127.0.0.1\r\nPort={server.port}\r\nName=pelko\r\n"
                f"User=postgres\r\nSite={name}\r\n").encode("cp932"))
        site("本校")
        subprocess.run([str(room.share / "pelko"), "--db-init"], check=True, capture_output=True,
                       env=dict(room.env, QT_QPA_PLATFORM="offscreen"), timeout=60)
        room.whole_run(STUDENTS[0])
        site("分校")
        room.whole_run(STUDENTS[1])
        expect("the two PCs' rows", poll("both rows on the server", lambda: server.sql(
            "SELECT string_agg(user_id || '@' || site, ' ' ORDER BY user_id) FROM pelko_runs "
            "HAVING count(*) >= 2")
            or None, timeout=30), "s1@本校 s2@分校")

        teacher = STUDENTS[2]
        room.start(teacher)
        menu = room.wait_for(teacher, MENU)
        x, y, w, _ = room.geometry(menu)
        room.click(x + w // 2, y + 2 * 56 + 28)  # ランキング, the third button
        room.to(teacher, "ランキング情報")
        room.keys("alt+l")
        room.to(teacher, "成績一覧")
        target = home(teacher)
        expect("成績一覧 from the database, every site", browser_export(room, teacher,
               target / "all.csv"), ["s1", "s2"])
        room.to(teacher, "成績一覧")
        room.keys("alt+l", "Down")  # 拠点: すべて → 分校
        room.screenshot(room.log_dir / "classroom-db-browser-site.png")
        expect("成績一覧 narrowed to the site 分校", browser_export(room, teacher,
               target / "site.csv"), ["s2"])
        room.quit(teacher)
    finally:
        server.stop()


def browser_export(room, student, target):
    """CSVに書き出す from the results browser into target; the user IDs it holds."""
    target.unlink(missing_ok=True)  # left by an earlier run: no overwrite question
    room.to(student, "成績一覧")
    room.keys("alt+s")
    room.to(student, "CSVに書き出す")
    room.keys("ctrl+a")
    room.xdotool("type", "--delay", "20", str(target))
    room.keys("Return")
    data = poll(f"{target.name} written", lambda: target.exists() and target.read_bytes(),
                timeout=20)
    return [row.split(",")[3] for row in data.decode("utf-8-sig").splitlines()[1:]]


def key_folders(room):
    """A student's key in the class folder refused, a key the class may replace at start."""
    student, program = STUDENTS[0], str(room.share / "pelko")
    made = subprocess.run(["runuser", "-u", student, "--", program, "--site-key", "new",
                           str(room.classFolder / "key")], capture_output=True, text=True,
                          env=dict(room.env, HOME=str(home(student))), timeout=60)
    expect("a student's key in the class folder: status, why, folder left alone",
           (made.returncode, f"「{room.classFolder}」には" in made.stderr,
            (room.classFolder / "key").exists()), (1, True, False))
    keys = room.work / "keys"
    subprocess.run([program, "--site-key", "new", str(keys)], check=True, env=room.env)
    with open(room.share / "pelko.ini", "ab") as ini:
        ini.write(f"[Certificate]\r\nKeyFile={keys}/pelko-site.key\r\n".encode())
    os.chown(keys, 0, grp.getgrnam(GROUP).gr_gid)
    keys.chmod(0o2775)
    room.start(student, title="認定証の署名鍵")
    room.screenshot(room.log_dir / "classroom-key-refused.png")
    room.quit(student)


def prepare_students():
    if subprocess.run(["getent", "group", GROUP], capture_output=True).returncode:
        subprocess.run(["groupadd", GROUP], check=True)
    for student in STUDENTS:
        if subprocess.run(["id", student], capture_output=True).returncode:
            subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin", student],
                           check=True)
        subprocess.run(["usermod", "-aG", GROUP, student], check=True)
        for own in (".config/pelko", ".local/share/pelko"):  # as if Pelko never ran
            shutil.rmtree(home(student) / own, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelko", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()
    if os.geteuid() != 0 or not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("SKIP: the classroom journey needs root, Xvfb and xdotool")
        return 1 if os.environ.get("PELKO_E2E_REQUIRE") == "1" or os.environ.get("CI") else 77
    args.out.mkdir(parents=True, exist_ok=True)
    with open("/tmp/pelko-e2e.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # one acceptance suite on a display at a time
        prepare_students()
        try:
            with Classroom(args.pelko.resolve(), args.out.resolve()) as room:
                try:
                    journey(room)
                    if (PG / "initdb").exists():
                        results_database(room)
                    else:
                        print("results database part skipped: PostgreSQL 15 is not installed")
                    key_folders(room)
                finally:
                    room.screenshot(args.out / "classroom-end.png")
        except E2EFailure as failure:
            print(f"FAIL classroom: {failure}")
            return 1
    print("PASS classroom")
    return 0


if __name__ == "__main__":
    sys.exit(main())
