#include "DatabaseLog.h"

#include "common/LogFormat.h"
#include "results/LogWriter.h"
#include "results/RunResult.h"

#include <QDateTime>

namespace
{

// The SQL of a browser column's value, for sorting.
QString columnExpression(int column, int passSpeed)
{
    if (column == ClassLogColumns::PassColumn)
        return QStringLiteral("(chars_per_minute >= %1)").arg(passSpeed);
    static const char* const names[] = {"record_number", "logged_at",   "logged_at::time",
                                        "user_id",       "user_name",   "computer_name",
                                        "login_name",    "file_name",   "chars_per_minute",
                                        "accuracy",      "errors",      "accepted_chars",
                                        "total_chars",   "kanji_chars", "alphanumeric_chars",
                                        "seconds_used"};
    static_assert(std::size(names) == LogFormat::ColumnCount);
    return QString::fromLatin1(names[column]);
}

} // namespace

namespace DatabaseLog
{

QString whereClause(const Filter& filter, QStringList& parameters)
{
    const ClassLogFilter& runs = filter.runs;
    QStringList conditions;
    auto where = [&](const QString& condition, const QString& value) {
        parameters << value;
        conditions << condition.arg(parameters.size());
    };
    const QString user = runs.user.trimmed();
    if (filter.userIds) {
        // A text array literal would need quoting rules of its own; one parameter each.
        QStringList places;
        for (const QString& id : *filter.userIds) {
            parameters << id;
            places << QStringLiteral("$%1").arg(parameters.size());
        }
        conditions << (places.isEmpty()
                           ? QStringLiteral("false")
                           : QStringLiteral("user_id IN (") + places.join(u',') + u')');
    } else if (!user.isEmpty() && runs.exactUserId) {
        where(QStringLiteral("user_id = $%1"), user);
    } else if (!user.isEmpty()) {
        where(QStringLiteral("(strpos(lower(user_id), lower($%1)) > 0 OR "
                             "strpos(lower(user_name), lower($%1)) > 0)"),
              user);
    }
    if (runs.from.isValid())
        where(QStringLiteral("logged_at >= $%1::date"), runs.from.toString(Qt::ISODate));
    if (runs.to.isValid())
        where(QStringLiteral("logged_at < $%1::date + 1"), runs.to.toString(Qt::ISODate));
    if (!runs.fileName.isEmpty())
        where(QStringLiteral("file_name = $%1"), runs.fileName);
    if (runs.outcome != ClassLogFilter::Outcome::Any)
        where(runs.outcome == ClassLogFilter::Outcome::Passed
                  ? QStringLiteral("chars_per_minute >= $%1::integer")
                  : QStringLiteral("chars_per_minute < $%1::integer"),
              QString::number(runs.passSpeed));
    if (!runs.site.isEmpty())
        where(QStringLiteral("site = $%1"), runs.site);
    if (!runs.kind.isEmpty())
        where(QStringLiteral("run_kind = $%1"), runs.kind);
    return conditions.isEmpty()
               ? QString()
               : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QString orderClause(const Filter& filter, bool reversed)
{
    const bool descending =
        (filter.sortColumn >= 0 && filter.order == Qt::DescendingOrder) != reversed;
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    QString order = QStringLiteral(" ORDER BY ");
    if (filter.sortColumn >= 0 && filter.sortColumn != int(LogColumn::Date))
        order += columnExpression(filter.sortColumn, filter.runs.passSpeed) + direction +
                 QStringLiteral(", ");
    // Equal values keep time order, as a sort of the log keeps log order.
    const QString tie = reversed ? QStringLiteral(" DESC") : QString();
    // By date, both go one way, so that a page can start from a row's (logged_at, run_id).
    if (filter.sortColumn == int(LogColumn::Date))
        return order + QStringLiteral("logged_at") + direction + QStringLiteral(", run_id") +
               direction;
    return order + QStringLiteral("logged_at") + tie + QStringLiteral(", run_id") + tie;
}

QString lineColumns()
{
    return QStringLiteral("coalesce(record_number, 0), to_char(logged_at, "
                          "'YYYY-MM-DD\"T\"HH24:MI:SS'), user_id, user_name, computer_name, "
                          "login_name, file_name, chars_per_minute, accuracy, errors, "
                          "accepted_chars, total_chars, kanji_chars, alphanumeric_chars, "
                          "seconds_used");
}

QByteArray linesOf(const QList<QStringList>& rows)
{
    QByteArray lines;
    for (const QStringList& row : rows) {
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

Expected<QByteArray> fetch(PostgresConnection& connection, const Filter& filter)
{
    QStringList parameters;
    const QString sql = QStringLiteral("SELECT ") + lineColumns() +
                        QStringLiteral(" FROM pelko_runs") + whereClause(filter, parameters) +
                        orderClause(filter);
    const auto rows = connection.exec(sql, parameters);
    if (!rows)
        return rows.error();
    return linesOf(rows->rows);
}

} // namespace DatabaseLog
