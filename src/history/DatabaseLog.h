#pragma once

#include "ClassLogQuery.h"
#include "common/Expected.h"
#include "platform/PostgresConnection.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The results database's runs as the lines of one main log, so that the class's views and
// the export read them as they read a log. The filters and the order run on the server.
namespace DatabaseLog
{

struct Filter {
    ClassLogFilter runs; // as on a log, plus the site and kind only the database holds
    // The user IDs the user text stands for, when the caller has looked them up; else the
    // server matches the text itself, which reads every row.
    std::optional<QStringList> userIds;
    int sortColumn = -1; // a browser column; -1: time order
    Qt::SortOrder order = Qt::AscendingOrder;
};

// " WHERE …" (or nothing) with its parameters appended.
QString whereClause(const Filter& filter, QStringList& parameters);
// " ORDER BY …", every run in one place; reversed: the order read from its end.
QString orderClause(const Filter& filter, bool reversed = false);
// The columns a log line is made of, for a SELECT.
QString lineColumns();
// Rows of lineColumns() as Shift-JIS main-log lines.
QByteArray linesOf(const QList<QStringList>& rows);

// The matching runs in the filter's order, as Shift-JIS main-log lines.
Expected<QByteArray> fetch(PostgresConnection& connection, const Filter& filter);

} // namespace DatabaseLog
