#pragma once

#include "common/LogFormat.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class ClassLog;

// What the results browser and the export show of the main log: its sixteen columns and a
// last one telling passed or failed against the pass line.
namespace ClassLogColumns
{

// Columns 0 … 15 are the log's (LogColumn), then the verdict.
inline constexpr int PassColumn = LogFormat::ColumnCount;
inline constexpr int Count = PassColumn + 1;

QString title(int column);
// The text of a cell; dates as yyyy-MM-dd, which spreadsheets read as dates.
QString cellText(const ClassLog& log, int row, int column, int passSpeed);
// Every cell of a row, the line split once.
QStringList rowTexts(const ClassLog& log, int row, int passSpeed);

} // namespace ClassLogColumns

struct ClassLogFilter {
    enum class Outcome { Any, Passed, Failed };

    // Part of the user ID or name, letter case ignored; empty for everyone.
    QString user;
    // With exactUserId, the user ID itself (blanks around it ignored).
    bool exactUserId = false;
    QDate from; // null: no limit
    QDate to;
    QString fileName; // the problem file; empty for all
    Outcome outcome = Outcome::Any;
    int passSpeed = 25;
    // Only the results database records these; empty: all.
    QString site;
    QString kind; // practice, certification or imported
};

// Rows of the log that pass the filter, in log order.
std::vector<int> selectRows(const ClassLog& log, const ClassLogFilter& filter);

// Sorts rows by a column; equal values keep their order, so a second sort refines the first.
void sortRows(const ClassLog& log, std::vector<int>& rows, int column, Qt::SortOrder order,
              int passSpeed);

struct UserSummary {
    QString userId;
    QString userName; // of the latest record
    int runs = 0;
    float bestSpeed = 0;
    float latestSpeed = 0;
    float bestAccuracy = 0;
};

// One entry per user ID among the rows, sorted by user ID. "Latest" goes by date and time;
// records on the same second, and records without a date, go by their place in the log.
QList<UserSummary> summarize(const ClassLog& log, const std::vector<int>& rows);

// Why a log could not be opened, for a message; empty when it was.
QString openFailureText(int status, const QString& path);
// What was read: records, and the lines and archives that were not (empty part left out).
QString readReport(const ClassLog& log);
// The archives left out, each named with why; empty when none was.
QString skippedReport(const ClassLog& log);
