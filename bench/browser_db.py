"""The results browser on a results database of many runs: a scratch PostgreSQL 15 (as in
tests/e2e/e2e_database.py), filled on the server with ROWS generated runs (20,000 users at
40 sites over five years), then bench_browser_db against it. Prints its figures, or says
why there are none.
    browser_db.py --tool build/bin/bench_browser_db --pelko build/bin/pelko [--rows N]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from e2e_database import PG, Server, ordinary_user  # noqa: E402

FILL = """
INSERT INTO pelko_runs (run_id, record_number, logged_at, user_id, user_name, computer_name,
  login_name, file_name, chars_per_minute, accuracy, errors, accepted_chars, total_chars,
  kanji_chars, alphanumeric_chars, seconds_used, run_kind, pass_speed, grade, input_method,
  site, source)
SELECT gen_random_uuid(), (i % 32000)::int,
  timestamp '2022-01-01' + (i::float8 / {rows} * 5 * 365 * 86400) * interval '1 second',
  'S' || lpad(((i * 7919) % 20000)::text, 5, '0'),
  (ARRAY['佐藤','鈴木','高橋','田中','伊藤'])[1 + (i * 7919) % 20000 % 5] || '　'
    || ((i * 7919) % 20000)::text,
  'PC' || ((i * 7919) % 40)::text, 'student', 'jpn_dat.00' || (i % 10)::text,
  ((i * 31) % 1200) / 10.0, 80 + ((i * 17) % 200) / 10.0, 3, 150, 300, 40, 5, 180,
  CASE WHEN i % 10 = 0 THEN 'certification' ELSE 'practice' END, 40, NULL, 'ibus',
  '拠点' || lpad(((i * 7919) % 20000 / 500)::text, 2, '0'), NULL
FROM generate_series(1::bigint, {rows}::bigint) AS i;
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", type=Path, required=True)
    parser.add_argument("--pelko", type=Path, required=True)
    parser.add_argument("--rows", type=int, default=10_000_000)
    args = parser.parse_args()
    if not (PG / "initdb").exists():
        print("PostgreSQL 15 is not installed: no figures", file=sys.stderr)
        return 1
    folder = Path(tempfile.mkdtemp(prefix="pelko-bench-db-"))
    (folder / "server").mkdir()
    run_as = ()
    if os.geteuid() == 0:
        # PostgreSQL refuses root: the server runs as an ordinary user.
        user = ordinary_user()
        for path in (folder, folder / "server"):
            os.chown(path, user.pw_uid, user.pw_gid)
        run_as = ("runuser", "-u", user.pw_name, "--")
    server = Server(folder / "server", run_as)
    try:
        server.start()
        server.create_database()
        app = folder / "app"
        app.mkdir()
        (app / "pelko.ini").write_bytes(
            (f"[Database]\r\nHost=127.0.0.1\r\nPort={server.port}\r\nName=pelko\r\n"
             "User=postgres\r\n").encode("cp932"))
        env = dict(os.environ, PELKO_APPDIR=str(app), APPDATA=str(folder / "appdata"),
                   QT_QPA_PLATFORM="offscreen")
        subprocess.run([args.pelko, "--db-init"], env=env, check=True, capture_output=True)
        print(f"filling {args.rows:,} runs", file=sys.stderr)
        server.sql(FILL.format(rows=args.rows))
        server.sql("VACUUM ANALYZE pelko_runs")  # not in the fill's transaction
        return subprocess.run([args.tool, "127.0.0.1", str(server.port), "pelko",
                               "postgres"]).returncode
    finally:
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
