"""A practice run on a PC whose settings name a results database (a PostgreSQL 15 of the
journey's own): the log line as always, and the same run as a row on the server."""

import os
import subprocess
from pathlib import Path

from e2e_database import PG, Server
from e2e_journeys import Ranking
from e2e_scenarios import expect, word
from e2e_session import E2EFailure, poll

SITE = "E2E教室"


class DatabaseRun(Ranking):
    name = "db-run"

    @classmethod
    def unavailable(cls):
        if not (PG / "initdb").exists():
            return "not installed: postgresql (scripts/deps.sh test installs it)"
        return None

    def prepare(self):
        self.server = Server(Path(self.pelko.folder) / "pg")
        self.server.start()
        self.server.create_database()
        ini = self.pelko.app / "pelko.ini"
        ini.write_bytes(ini.read_bytes() + (
            f"[Database]\r\nHost=127.0.0.1\r\nPort={self.server.port}\r\nName=pelko\r\n"
            f"User=postgres\r\nSite={SITE}\r\n").encode("cp932"))
        self.command("--db-init")

    def command(self, *args):
        return subprocess.run([str(self.pelko.binary), *args], check=True, capture_output=True,
                              text=True, env=dict(os.environ, PELKO_APPDIR=str(self.pelko.app)),
                              timeout=60).stdout

    def run(self):
        try:
            super().run()
        finally:
            self.server.stop()

    def body(self):
        record = self.practice_run(list("db01"), word("yamada", convert=True), slow=False,
                                   count=1)
        row = poll("the run in the results database", lambda: self.server.sql(
            "SELECT user_id, user_name, run_kind, site, record_number, seconds_used "
            "FROM pelko_runs") or None, timeout=20)
        expect("the run's row in the results database", row,
               f"db01|山田|practice|{SITE}|{record['record_number']}|{record['seconds_used']}")
        # The log brought in afterwards: the run is there already, by the same id.
        imported = self.command("--db-import", str(self.pelko.logs / "pelko.log"))
        if "追加 0 件、登録済み 1 件" not in imported:
            raise E2EFailure(f"the log imported after the run's own row: {imported!r}")
        waiting = list((Path(self.pelko.folder) / "appdata/pelko/db-queue").glob("*.row"))
        if waiting:
            raise E2EFailure(f"rows still wait after the server took the run: {waiting}")


JOURNEYS = [DatabaseRun]
