#include "ResultsDatabase.h"

#include "RunRow.h"
#include "platform/PostgresConnection.h"

#include <QStringList>

namespace
{

// Each step takes the database from the version before it to its own number.
const char* const Migrations[] = {
    // 1: the runs, by the log's sixteen columns and what the log cannot hold.
    R"(CREATE TABLE pelko_runs (
         run_id uuid PRIMARY KEY,
         record_number integer,
         logged_at timestamp NOT NULL,
         user_id text NOT NULL,
         user_name text NOT NULL,
         computer_name text NOT NULL,
         login_name text NOT NULL,
         file_name text NOT NULL,
         chars_per_minute real NOT NULL,
         accuracy real NOT NULL,
         errors integer NOT NULL,
         accepted_chars integer NOT NULL,
         total_chars integer NOT NULL,
         kanji_chars integer NOT NULL,
         alphanumeric_chars integer NOT NULL,
         seconds_used integer NOT NULL,
         run_kind text NOT NULL CHECK (run_kind IN ('practice', 'certification', 'imported')),
         pass_speed integer,
         grade text,
         input_method text,
         site text NOT NULL,
         source text,
         received_at timestamptz NOT NULL DEFAULT now());
       CREATE INDEX pelko_runs_by_user ON pelko_runs (user_id, logged_at);
       CREATE INDEX pelko_runs_by_time ON pelko_runs (logged_at, run_id);
       CREATE INDEX pelko_runs_by_site ON pelko_runs (site, logged_at);
       CREATE INDEX pelko_runs_by_file ON pelko_runs (file_name, logged_at);
       CREATE INDEX pelko_runs_by_speed ON pelko_runs (chars_per_minute);
       -- No reference to pelko_runs: a run set aside on its PC must not hold up the codes.
       CREATE TABLE pelko_certificates (
         run_id uuid NOT NULL,
         check_code text NOT NULL,
         printed_at timestamptz NOT NULL DEFAULT now(),
         PRIMARY KEY (run_id, check_code));)",
};

// After a failed step: what failed is the error to report, not the rollback's answer.
void rollback(PostgresConnection& connection)
{
    (void)connection.exec(QStringLiteral("ROLLBACK"));
}

} // namespace

namespace ResultsDatabase
{

Expected<int> migrate(PostgresConnection& connection)
{
    static_assert(std::size(Migrations) == SchemaVersion);
    // One administrator at a time: a second --db-init waits for the first. The server's
    // notices ("already exists, skipping") are no news to the administrator.
    const auto begun = connection.exec(
        QStringLiteral("BEGIN; SET LOCAL client_min_messages = warning;"
                       "SELECT pg_advisory_xact_lock(7353454);"
                       "CREATE TABLE IF NOT EXISTS pelko_schema (version integer NOT NULL);"));
    if (!begun)
        return begun.error();
    const auto current = connection.exec(QStringLiteral("SELECT max(version) FROM pelko_schema"));
    if (!current) {
        rollback(connection);
        return current.error();
    }
    const int before = current->rows.value(0).value(0).toInt();
    if (before > SchemaVersion) {
        rollback(connection);
        return Error(
            Error::Code::DatabaseFailure,
            QStringLiteral("データベースはこの Pelko より新しい版 (%1) です。").arg(before));
    }
    for (int version = before + 1; version <= SchemaVersion; ++version) {
        const auto step = connection.exec(QString::fromUtf8(Migrations[version - 1]));
        if (!step) {
            rollback(connection);
            return step.error();
        }
    }
    const auto done = connection.exec(
        QStringLiteral("DELETE FROM pelko_schema; INSERT INTO pelko_schema VALUES (%1); COMMIT;")
            .arg(SchemaVersion));
    if (!done) {
        rollback(connection);
        return done.error();
    }
    return before;
}

Expected<bool> insert(PostgresConnection& connection, const RunRow& row)
{
    // No conflict target: an exam PC's role may insert, and nothing more.
    const auto inserted = connection.exec(
        QStringLiteral("INSERT INTO pelko_runs (run_id, record_number, logged_at, user_id, "
                       "user_name, computer_name, login_name, file_name, chars_per_minute, "
                       "accuracy, errors, accepted_chars, total_chars, kanji_chars, "
                       "alphanumeric_chars, seconds_used, run_kind, pass_speed, grade, "
                       "input_method, site, source) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, "
                       "$10, $11, $12, $13, $14, $15, $16, $17, $18, $19, $20, $21, $22) "
                       "ON CONFLICT DO NOTHING"),
        row.parameters());
    if (!inserted)
        return inserted.error();
    return inserted->affected == 1;
}

Expected<bool> insert(PostgresConnection& connection, const CertificateRow& row)
{
    const auto inserted = connection.exec(
        QStringLiteral("INSERT INTO pelko_certificates (run_id, check_code, printed_at) "
                       "VALUES ($1, $2, $3) ON CONFLICT DO NOTHING"),
        {row.runId.toString(QUuid::WithoutBraces), row.checkCode,
         row.printedAt.toUTC().toString(Qt::ISODateWithMs)});
    if (!inserted)
        return inserted.error();
    return inserted->affected == 1;
}

} // namespace ResultsDatabase
