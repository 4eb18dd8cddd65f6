#pragma once

#include "common/Expected.h"
#include "platform/PostgresConnection.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// The results database's runs as the lines of one main log, so that the class's views and
// the export read them as they read a log. The filters run on the server.
namespace DatabaseLog
{

struct Filter {
    QString userId; // exact; empty: everyone
    QDate from;     // inclusive; invalid: no limit
    QDate to;
    QString site; // exact; empty: every site
    QString kind; // practice, certification or imported; empty: all
};

// The matching runs in time order, as Shift-JIS main-log lines.
Expected<QByteArray> fetch(PostgresConnection& connection, const Filter& filter);

} // namespace DatabaseLog
