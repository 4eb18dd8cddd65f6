#include "DatabaseLog.h"

#include "results/LogWriter.h"
#include "results/RunResult.h"

#include <QDateTime>
#include <QStringList>

namespace DatabaseLog
{

Expected<QByteArray> fetch(PostgresConnection& connection, const Filter& filter)
{
    QStringList conditions;
    QStringList parameters;
    auto where = [&](const QString& condition, const QString& value) {
        parameters << value;
        conditions << condition.arg(parameters.size());
    };
    if (!filter.userId.isEmpty())
        where(QStringLiteral("user_id = $%1"), filter.userId);
    if (filter.from.isValid())
        where(QStringLiteral("logged_at >= $%1::date"), filter.from.toString(Qt::ISODate));
    if (filter.to.isValid())
        where(QStringLiteral("logged_at < $%1::date + 1"), filter.to.toString(Qt::ISODate));
    if (!filter.site.isEmpty())
        where(QStringLiteral("site = $%1"), filter.site);
    if (!filter.kind.isEmpty())
        where(QStringLiteral("run_kind = $%1"), filter.kind);
    const QString sql =
        QStringLiteral("SELECT coalesce(record_number, 0), to_char(logged_at, "
                       "'YYYY-MM-DD\"T\"HH24:MI:SS'), user_id, user_name, computer_name, "
                       "login_name, file_name, chars_per_minute, accuracy, errors, "
                       "accepted_chars, total_chars, kanji_chars, alphanumeric_chars, "
                       "seconds_used FROM pelko_runs") +
        (conditions.isEmpty()
             ? QString()
             : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "))) +
        QStringLiteral(" ORDER BY logged_at, run_id");
    const auto rows = connection.exec(sql, parameters);
    if (!rows)
        return rows.error();
    QByteArray lines;
    for (const QStringList& row : rows->rows) {
        RunResult run;
        run.recordNumber = row[0].toInt();
        run.userId = row[2];
        run.userName = row[3];
        run.computerName = row[4];
        run.loginName = row[5];
        run.fileName = row[6];
        run.charsPerMinute = row[7].toFloat();
        run.accuracy = row[8].toFloat();
        run.errors = row[9].toInt();
        run.acceptedChars = row[10].toInt();
        run.totalChars = row[11].toInt();
        run.kanjiOrSymbolChars = row[12].toInt();
        run.alphanumericChars = row[13].toInt();
        run.secondsUsed = row[14].toInt();
        lines += LogWriter::lineOf(run, QDateTime::fromString(row[1], Qt::ISODate));
    }
    return lines;
}

} // namespace DatabaseLog
