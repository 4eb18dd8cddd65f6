"""The results database with a real PostgreSQL 15, as many PCs use it.

A scratch server (initdb, pg_ctl) of an ordinary user on 127.0.0.1 and a free port; the
program's commands and dbwriter_helper (one PC's runs through the program's queue) against
it: the tables made and migrated, roles that let exam PCs only add runs, 40 PCs × 100 runs
at once, the server stopped for 30 s while PCs write, a writer killed mid-send, old logs
brought in twice. Run as root, it hands over to an ordinary user (PostgreSQL refuses root).
Exit 77 when PostgreSQL 15 is not installed.
"""

import argparse
import datetime
import os
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

PG = Path("/usr/lib/postgresql/15/bin")
USER = "pelko-e2e"
SKIP = 77
HERE = Path(__file__).resolve().parent
ROLES = HERE.parents[1] / "share" / "pelko" / "roles.sql"


class Failure(Exception):
    pass


def expect(what, seen, wanted):
    if seen != wanted:
        raise Failure(f"{what}: {seen!r}, expected {wanted!r}")


class Server:
    """A PostgreSQL of its own in folder, stopped by its process id in the end."""

    def __init__(self, folder, run_as=()):
        """run_as: a command prefix that runs the server as an ordinary user (runuser …)."""
        self.folder = Path(folder)
        self.data = self.folder / "data"
        self.run_as = list(run_as)
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        subprocess.run([*self.run_as, PG / "initdb", "-D", self.data, "-U", "postgres",
                        "--auth=trust", "-E", "UTF8", "--locale=C"], check=True,
                       capture_output=True)

    def start(self):
        subprocess.run([*self.run_as, PG / "pg_ctl", "-D", self.data, "-l",
                        self.folder / "server.log", "-w", "-o",
                        f"-p {self.port} -k {self.folder} -c listen_addresses=127.0.0.1",
                        "start"], check=True, capture_output=True)

    def stop(self):
        subprocess.run([*self.run_as, PG / "pg_ctl", "-D", self.data, "-m", "fast", "-w",
                        "stop"], capture_output=True)
        pid_file = self.data / "postmaster.pid"
        if pid_file.exists():
            os.kill(int(pid_file.read_text().split()[0]), signal.SIGKILL)

    def create_database(self, name="pelko"):
        subprocess.run(["createdb", "-h", "127.0.0.1", "-p", str(self.port), "-U", "postgres",
                        name], check=True, capture_output=True)

    def sql(self, statement, user="postgres", check=True):
        done = subprocess.run(["psql", "-h", "127.0.0.1", "-p", str(self.port), "-U", user,
                               "-d", "pelko", "-X", "-q", "-t", "-A", "-v", "ON_ERROR_STOP=1",
                               "-c", statement], capture_output=True, text=True)
        if check and done.returncode != 0:
            raise Failure(f"psql as {user}: {statement}: {done.stderr}")
        return done.stdout.strip() if done.returncode == 0 else None


class Suite:
    def __init__(self, bin_dir, folder):
        self.bin = Path(bin_dir)
        self.folder = Path(folder)
        self.server = Server(self.folder / "server")
        self.app = self.folder / "app"
        self.app.mkdir()

    def pelko(self, *args, user="postgres", appdata="appdata", status=0, database="pelko"):
        (self.app / "pelko.ini").write_bytes(
            (f"[Database]\r\nHost=127.0.0.1\r\nPort={self.server.port}\r\nName={database}\r\n"
             f"User={user}\r\nSite=本校\r\n").encode("cp932"))
        env = dict(os.environ, PELKO_APPDIR=str(self.app), APPDATA=str(self.folder / appdata))
        done = subprocess.run([self.bin / "pelko", *args], env=env, capture_output=True,
                              text=True, timeout=120)
        if done.returncode != status:
            raise Failure(f"pelko {' '.join(args)}: {done.returncode}: {done.stdout}{done.stderr}")
        self.stderr = done.stderr
        return done.stdout

    def writer(self, runs, appdata, user="postgres", pause_ms=0, patience_ms=60000):
        env = dict(os.environ, APPDATA=str(self.folder / appdata))
        return subprocess.Popen([self.bin / "dbwriter_helper", str(runs), "127.0.0.1",
                                 str(self.server.port), "pelko", user, str(pause_ms),
                                 str(patience_ms)],
                                env=env, stdout=subprocess.PIPE, text=True)

    def count(self, where="true"):
        return int(self.server.sql(f"SELECT count(*) FROM pelko_runs WHERE {where}"))

    def count_certificates(self):
        return int(self.server.sql("SELECT count(*) FROM pelko_certificates"))

    def run(self):
        self.server.start()
        self.server.create_database()
        checks = [self.tables, self.roles, self.many_pcs, self.server_away, self.killed_writer,
                  self.old_logs, self.browser]
        failed = 0
        try:
            for check in checks:
                began = time.monotonic()
                try:
                    check()
                    print(f"PASS {check.__name__} ({time.monotonic() - began:.0f} s)", flush=True)
                except Failure as failure:
                    failed += 1
                    print(f"FAIL {check.__name__}: {failure}", flush=True)
        finally:
            self.server.stop()
        return 1 if failed else 0

    def tables(self):
        expect("--db-init on an empty database", self.pelko("--db-init").strip(),
               "データベースの版: 0 → 1")
        expect("--db-init again", self.pelko("--db-init").strip(), "データベースの版: 1 → 1")
        expect("--db-init again, on standard error", self.stderr, "")

    def roles(self):
        self.server.sql(ROLES.read_text())
        self.server.sql("CREATE ROLE exam LOGIN IN ROLE pelko_exam; "
                        "CREATE ROLE teacher LOGIN IN ROLE pelko_teacher")
        writer = self.writer(3, "appdata-exam", user="exam")
        out, _ = writer.communicate(timeout=60)
        expect("rows an exam PC could not send", out.splitlines()[-1], "waiting 0")
        if self.server.sql("SELECT count(*) FROM pelko_runs", user="exam", check=False):
            raise Failure("an exam PC's role can read the runs")
        expect("runs a teacher reads", self.server.sql("SELECT count(*) FROM pelko_runs",
                                                       user="teacher"), "3")
        if self.server.sql("DELETE FROM pelko_runs", user="teacher", check=False) is not None:
            raise Failure("a teacher's role can delete runs")

    def many_pcs(self):
        before = self.count()
        certificates = self.count_certificates()
        writers = [self.writer(100, f"appdata-pc{i}") for i in range(40)]
        outs = [w.communicate(timeout=300)[0] for w in writers]
        queued = {line.split()[1] for out in outs for line in out.splitlines()
                  if line.startswith("queued")}
        expect("runs queued by 40 PCs", len(queued), 4000)
        expect("rows that still wait", [o.splitlines()[-1] for o in outs].count("waiting 0"), 40)
        expect("rows in the database", self.count() - before, 4000)
        expect("distinct runs in the database",
               int(self.server.sql("SELECT count(DISTINCT run_id) FROM pelko_runs")),
               before + 4000)
        expect("certificates of 40 PCs", self.count_certificates() - certificates, 400)
        expect("certificates without their run", self.server.sql(
            "SELECT count(*) FROM pelko_certificates c LEFT JOIN pelko_runs r USING (run_id) "
            "WHERE r.run_id IS NULL"), "0")

    def server_away(self):
        before = self.count()
        # Five give up at once, five wait for the server with their last send.
        writers = [self.writer(100, f"appdata-away{i}", pause_ms=100,
                               patience_ms=0 if i < 5 else 60000) for i in range(10)]
        time.sleep(3)
        self.server.stop()
        time.sleep(30)
        self.server.start()
        outs = [w.communicate(timeout=300)[0] for w in writers]
        waiting = [int(o.splitlines()[-1].split()[1]) for o in outs]
        if sum(waiting[:5]) == 0:
            raise Failure("no run waited while the server was away: the test proves nothing")
        expect("rows still waiting after a patient last send", sum(waiting[5:]), 0)
        for i in range(5):
            self.pelko("--db-send", appdata=f"appdata-away{i}")
        expect("rows after the server came back", self.count() - before, 1000)

    def killed_writer(self):
        writer = self.writer(400, "appdata-killed")
        time.sleep(1.0)
        writer.send_signal(signal.SIGKILL)
        out = writer.communicate()[0]
        queued = [line.split()[1] for line in out.splitlines() if line.startswith("queued")]
        if not queued:
            raise Failure("the writer was killed before it queued anything")
        self.pelko("--db-send", appdata="appdata-killed")
        ids = ", ".join(f"'{i}'" for i in queued)
        expect("queued runs in the database after the resend",
               self.count(f"run_id IN ({ids})"), len(queued))

    def old_logs(self):
        log = self.folder / "old.log"
        lines = ['0,"04-01-2026","09:00:00","S1","山田","PC1","s1","jpn_dat.001",45.5,98.2,3,'
                 '182,260,35,12,240',
                 '1,"04-01-2026","09:10:00","S2","佐藤","PC2","s2","jpn_dat.001",50,99,1,200,'
                 '260,35,12,240',
                 'a torn line']
        log.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))
        first = self.pelko("--db-import", str(log))
        if "追加 2 件" not in first or "読み飛ばし 1 行" not in first:
            raise Failure(f"the first import says {first!r}")
        second = self.pelko("--db-import", str(log))
        if "追加 0 件、登録済み 2 件" not in second:
            raise Failure(f"the second import says {second!r}")
        expect("the imported speed", self.server.sql(
            "SELECT chars_per_minute FROM pelko_runs WHERE user_name = '山田'"), "45.5")
        # The export reads the database with the log's filters and its own.
        csv = self.pelko("--export-csv", "--db", "--site", "本校", "--user", "S1")
        if "山田" not in csv or "佐藤" in csv:
            raise Failure(f"--export-csv --db --user S1 wrote {csv!r}")
        csv = self.pelko("--export-csv", "--db", "--kind", "certification", "--from",
                         "2026-04-01", "--to", "2026-04-01")
        if "山田" in csv:
            raise Failure(f"--export-csv --db --kind certification wrote imported runs: {csv!r}")

    def browser(self):
        """成績一覧 on a log and on a database of the same runs: alike for every filter."""
        names, lines = ["佐藤", "鈴木", "高橋", "田中"], []
        start = datetime.datetime(2026, 1, 20, 8, 0)
        for n in range(5000):  # pages from both ends, and deep ones
            when, user = start + datetime.timedelta(minutes=10 * n), n * 7 % 60
            problem = "弱点練習" if n % 23 == 0 else f"jpn_dat.00{n % 5}"
            lines.append(f'{n},"{when:%m-%d-%Y}","{when:%H:%M:%S}","S{user:03d}",'
                         f'"{names[user % 4]}\u3000{user}","PC{user % 9}","s{user}","{problem}",'
                         f'{1 + n * 37 % 900 / 10:g},{80 + n % 200 / 10:g},{n % 7},150,300,40,5,180')
        log = self.folder / "browse.log"
        log.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))
        self.server.create_database("browse")
        self.pelko("--db-init", database="browse")
        self.pelko("--db-import", str(log), database="browse")
        done = subprocess.run([self.bin / "dbbrowser_helper", log, "127.0.0.1",
                               str(self.server.port), "browse", "postgres"],
                              capture_output=True, text=True, timeout=300)
        if done.returncode != 0:
            raise Failure(f"the browser on the database: {done.stdout}{done.stderr}")


def ordinary_user():
    """The account that runs servers for root (PostgreSQL refuses root), made when missing."""
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin", USER],
                       check=True)
        return pwd.getpwnam(USER)


def hand_over(args):
    """As root: the same run as an ordinary user, with copies it may read."""
    user = ordinary_user()
    work = Path(tempfile.mkdtemp(prefix="pelko-db-"))
    try:
        (work / "tests" / "e2e").mkdir(parents=True)
        (work / "share" / "pelko").mkdir(parents=True)
        (work / "bin").mkdir()
        shutil.copy2(__file__, work / "tests" / "e2e" / "e2e_database.py")
        shutil.copy2(ROLES, work / "share" / "pelko" / "roles.sql")
        for name in ("pelko", "dbwriter_helper", "dbbrowser_helper"):
            shutil.copy2(args.bin / name, work / "bin" / name)
        for path in [work, *work.rglob("*")]:
            os.chown(path, user.pw_uid, user.pw_gid)
        env = {"PATH": os.environ.get("PATH", ""), "HOME": user.pw_dir, "LANG": "C.UTF-8"}
        # The user may not reach an interpreter in root's own folders.
        python = "/usr/bin/python3" if Path("/usr/bin/python3").exists() else sys.executable
        return subprocess.run(["runuser", "-u", USER, "--", python,
                               str(work / "tests" / "e2e" / "e2e_database.py"),
                               "--bin", str(work / "bin")], env=env, cwd=work).returncode
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", type=Path, required=True, help="folder of pelko and helpers")
    args = parser.parse_args()
    args.bin = args.bin.resolve()
    if not (PG / "initdb").exists() or not shutil.which("psql"):
        print("SKIP: PostgreSQL 15 is not installed (scripts/deps.sh test installs it)")
        return SKIP
    if os.geteuid() == 0:
        return hand_over(args)
    folder = Path(tempfile.mkdtemp(prefix="pelko-db-run-"))
    try:
        return Suite(args.bin, folder).run()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
