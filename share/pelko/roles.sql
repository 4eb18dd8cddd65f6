-- Roles for Pelko's results database. Run once as the database's owner, after
-- `pelko --db-init` has made the tables; the owner needs CREATEROLE too (or run it as the
-- postgres superuser):
--   psql -U pelko_owner -d pelko -f /usr/share/pelko/roles.sql
-- then give each login its role, for example:
--   CREATE ROLE exam_room_1 LOGIN IN ROLE pelko_exam;     -- an exam PC: adds runs only
--   CREATE ROLE tanaka LOGIN IN ROLE pelko_teacher;       -- a teacher: reads every run
-- Passwords go into each PC's ~/.pgpass or pg_service.conf, never into pelko.ini.

DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'pelko_exam') THEN
    CREATE ROLE pelko_exam NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'pelko_teacher') THEN
    CREATE ROLE pelko_teacher NOLOGIN;
  END IF;
END $$;

-- Exam PCs add runs and printed certificates, and can read nothing back: a candidate at an
-- exam PC learns nobody's results from the database.
REVOKE ALL ON pelko_runs, pelko_certificates, pelko_schema FROM PUBLIC;
GRANT INSERT ON pelko_runs, pelko_certificates TO pelko_exam;

-- Teachers read everything and change nothing.
GRANT SELECT ON pelko_runs, pelko_certificates, pelko_schema TO pelko_teacher;
