#include "ClassLogQuery.h"

#include "ClassLog.h"
#include "common/LogFormat.h"
#include "results/RankingReader.h"
#include "typing/Scoring.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

// The id of a user, computer or file column's text.
qint32 textId(const ClassLog::Record& r, LogColumn column)
{
    return r.text[size_t(int(column) - ClassLog::FirstTextColumn)];
}

bool passed(const ClassLog& log, int row, int passSpeed)
{
    return Scoring::passes(log.record(row).speed, passSpeed);
}

double timeKey(const ClassLog::Record& r)
{
    if (r.day == ClassLog::NoDay)
        return -std::numeric_limits<double>::infinity();
    return double(r.day) * 86400.0 + double(qMax(0, r.second));
}

double sortKey(const ClassLog& log, int row, int column, int passSpeed)
{
    const ClassLog::Record& r = log.record(row);
    if (column == ClassLogColumns::PassColumn)
        return passed(log, row, passSpeed) ? 1 : 0;
    switch (LogColumn(column)) {
    case LogColumn::Date:
        return timeKey(r);
    case LogColumn::Time:
        return r.second;
    case LogColumn::UserId:
    case LogColumn::UserName:
    case LogColumn::ComputerName:
    case LogColumn::LoginName:
    case LogColumn::FileName:
        return log.rankOf(textId(r, LogColumn(column)));
    case LogColumn::Speed:
        return r.speed;
    case LogColumn::Accuracy:
        return r.accuracy;
    default:
        break;
    }
    const auto value = singleOfField(log.field(row, column));
    return value ? double(*value) : -std::numeric_limits<double>::infinity();
}

} // namespace

namespace ClassLogColumns
{

QString title(int column)
{
    return column == PassColumn ? QStringLiteral("合否") : LogFormat::title(LogColumn(column));
}

namespace
{

QString cellOf(const ClassLog& log, int row, int column, int passSpeed, QByteArrayView raw)
{
    if (column == PassColumn)
        return passed(log, row, passSpeed) ? QStringLiteral("合格") : QStringLiteral("不合格");
    if (column == int(LogColumn::Date) && log.record(row).day != ClassLog::NoDay)
        return QDate::fromJulianDay(log.record(row).day).toString(Qt::ISODate);
    return log.text(row, column, raw);
}

} // namespace

QString cellText(const ClassLog& log, int row, int column, int passSpeed)
{
    return cellOf(log, row, column, passSpeed,
                  column < LogFormat::ColumnCount ? log.field(row, column) : QByteArrayView());
}

QStringList rowTexts(const ClassLog& log, int row, int passSpeed)
{
    const LogFields fields = log.fields(row);
    QStringList texts;
    texts.reserve(Count);
    for (int column = 0; column < Count; ++column)
        texts.append(
            cellOf(log, row, column, passSpeed,
                   column < LogFormat::ColumnCount ? fields[size_t(column)] : QByteArrayView()));
    return texts;
}

} // namespace ClassLogColumns

std::vector<int> selectRows(const ClassLog& log, const ClassLogFilter& filter)
{
    // Decided once per distinct ID, name and file, not once per record.
    std::vector<char> userMatches(size_t(log.textCount()), 0);
    std::vector<char> fileMatches(size_t(log.textCount()), 0);
    const QString user = filter.user.trimmed();
    for (qint32 id = 0; id < log.textCount(); ++id) {
        const QString text = log.textOf(id);
        userMatches[size_t(id)] =
            filter.exactUserId ? text.trimmed() == user : text.contains(user, Qt::CaseInsensitive);
        fileMatches[size_t(id)] = text.compare(filter.fileName, Qt::CaseInsensitive) == 0;
    }
    const qint64 from =
        filter.from.isValid() ? filter.from.toJulianDay() : std::numeric_limits<qint64>::min();
    const qint64 to =
        filter.to.isValid() ? filter.to.toJulianDay() : std::numeric_limits<qint64>::max();
    const bool datesLimited = filter.from.isValid() || filter.to.isValid();

    std::vector<int> rows;
    rows.reserve(size_t(log.size()));
    for (int row = 0; row < log.size(); ++row) {
        const ClassLog::Record& r = log.record(row);
        if (!user.isEmpty() && !userMatches[size_t(textId(r, LogColumn::UserId))] &&
            (filter.exactUserId || !userMatches[size_t(textId(r, LogColumn::UserName))]))
            continue;
        if (!filter.fileName.isEmpty() && !fileMatches[size_t(textId(r, LogColumn::FileName))])
            continue;
        if (datesLimited && (r.day == ClassLog::NoDay || r.day < from || r.day > to))
            continue;
        if (filter.outcome != ClassLogFilter::Outcome::Any &&
            passed(log, row, filter.passSpeed) !=
                (filter.outcome == ClassLogFilter::Outcome::Passed))
            continue;
        rows.push_back(row);
    }
    return rows;
}

void sortRows(const ClassLog& log, std::vector<int>& rows, int column, Qt::SortOrder order,
              int passSpeed)
{
    std::vector<std::pair<double, int>> keyed;
    keyed.reserve(rows.size());
    for (int row : rows)
        keyed.emplace_back(sortKey(log, row, column, passSpeed), row);
    if (order == Qt::AscendingOrder)
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

QList<UserSummary> summarize(const ClassLog& log, const std::vector<int>& rows)
{
    struct Entry {
        UserSummary summary;
        double latestKey = 0;
        int latestRow = -1;
        bool hasBest = false; // a run other than a drill was seen
    };
    // Users are told apart by the ID as the ranking does: blanks around it do not count.
    QHash<QString, int> place;
    std::vector<Entry> entries;
    for (int row : rows) {
        const ClassLog::Record& r = log.record(row);
        const qint32 idText = textId(r, LogColumn::UserId);
        const QString id = log.textOf(idText).trimmed();
        auto found = place.find(id);
        if (found == place.end()) {
            found = place.insert(id, int(entries.size()));
            Entry entry;
            entry.summary.userId = id;
            entry.latestKey = -std::numeric_limits<double>::infinity();
            entries.push_back(entry);
        }
        Entry& entry = entries[size_t(*found)];
        UserSummary& s = entry.summary;
        ++s.runs;
        if (log.textOf(textId(r, LogColumn::FileName)) != LogFormat::DrillFileName) {
            s.bestSpeed = entry.hasBest ? qMax(s.bestSpeed, r.speed) : r.speed;
            s.bestAccuracy = entry.hasBest ? qMax(s.bestAccuracy, r.accuracy) : r.accuracy;
            entry.hasBest = true;
        }
        // The log is in writing order, so a later row on the same second is the later run.
        const double key = timeKey(r);
        if (key > entry.latestKey || (key == entry.latestKey && row > entry.latestRow)) {
            entry.latestKey = key;
            entry.latestRow = row;
            s.latestSpeed = r.speed;
            s.userName = log.textOf(textId(r, LogColumn::UserName));
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.summary.userId < b.summary.userId; });
    QList<UserSummary> result;
    for (const Entry& entry : entries)
        result.append(entry.summary);
    return result;
}

QString openFailureText(int status, const QString& path)
{
    switch (ClassLog::Status(status)) {
    case ClassLog::Status::Ok:
        return {};
    case ClassLog::Status::Missing:
        return QStringLiteral("ログファイルがありません: ") + path;
    case ClassLog::Status::Busy:
        return QStringLiteral("ログファイルがほかのプログラムに使われています: ") + path;
    case ClassLog::Status::NotAFile:
        return QStringLiteral("ログファイルがふつうのファイルではありません: ") + path;
    case ClassLog::Status::TooLarge:
        return QStringLiteral(
                   "ログファイルが大きすぎて、このコンピュータのメモリには読み込めません: ") +
               path;
    case ClassLog::Status::Changed:
        return QStringLiteral("ログファイルが読み込み中に変更されました: ") + path;
    case ClassLog::Status::Unreadable:
        break;
    }
    return QStringLiteral("ログファイルを読み込めません: ") + path;
}

QString readReport(const ClassLog& log)
{
    QString report = QString::number(log.size()) + QStringLiteral(" 件の記録");
    if (log.wrongFieldCountLines() > 0)
        report += QStringLiteral("、16 列でない行 ") + QString::number(log.wrongFieldCountLines()) +
                  QStringLiteral(" 行を読み飛ばしました");
    if (log.notNumberLines() > 0)
        report += QStringLiteral("、速度か正打率が数字でない行 ") +
                  QString::number(log.notNumberLines()) + QStringLiteral(" 行を読み飛ばしました");
    if (log.undecodableRecords() > 0)
        report += QStringLiteral("、読めない文字を含む記録 ") +
                  QString::number(log.undecodableRecords()) +
                  QStringLiteral(" 件は「\uFFFD」で表示しています");
    if (!log.skippedFiles().isEmpty())
        report += u'、' + skippedReport(log);
    return report;
}

QString skippedReport(const ClassLog& log)
{
    QStringList files;
    for (const ClassLog::Skipped& skipped : log.skippedFiles())
        files.append(openFailureText(int(skipped.status), skipped.path) +
                     QStringLiteral("（読み飛ばしました）"));
    return files.join(u'、');
}
