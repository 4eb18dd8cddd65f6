#include "DatabaseRunsModel.h"

#include "ClassLog.h"
#include "CsvExport.h"
#include "common/LogFormat.h"

#include <QIODevice>

#include <algorithm>
#include <limits>
#include <numeric>

namespace
{

// Every distinct value of an indexed column, one index step a value rather than a pass over
// every row: a few hundred users take milliseconds among ten million runs.
QString distinctValues(const QString& column)
{
    return QStringLiteral("WITH RECURSIVE v(x) AS ((SELECT %1 FROM pelko_runs ORDER BY %1 LIMIT 1) "
                          "UNION ALL SELECT (SELECT %1 FROM pelko_runs WHERE %1 > v.x ORDER BY "
                          "%1 LIMIT 1) FROM v WHERE v.x IS NOT NULL) ")
        .arg(column);
}

// More IDs than this go to the server as the text itself.
constexpr int MostUserIds = 1000;

std::vector<int> allRows(const ClassLog& log)
{
    std::vector<int> rows(size_t(log.size()));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

} // namespace

DatabaseRunsModel::DatabaseRunsModel(QObject* parent) : RunsTableModel(parent)
{
}

DatabaseRunsModel::~DatabaseRunsModel()
{
    // A count still running posts to this model: it must end first.
    m_counting.waitForDone();
}

bool DatabaseRunsModel::connectTo(const PostgresConnection::Parameters& server)
{
    beginResetModel();
    m_connection.reset();
    m_pages.clear();
    m_users.reset();
    m_count = 0;
    m_failure.clear();
    m_sites.clear();
    m_fileNames.clear();
    m_earliest = m_latest = {};
    m_server = server;
    ++m_generation;
    m_counted = true;
    auto connection = PostgresConnection::open(server);
    if (connection) {
        m_connection = std::move(*connection);
        readChoices();
    } else {
        m_failure = connection.error().message();
    }
    endResetModel();
    return m_connection && m_failure.isEmpty();
}

std::optional<QList<QStringList>> DatabaseRunsModel::ask(const QString& sql,
                                                         const QStringList& parameters) const
{
    if (!m_connection) {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("データベースに接続していません。");
        return std::nullopt;
    }
    const auto result = m_connection->exec(sql, parameters);
    if (!result) {
        if (m_failure.isEmpty())
            m_failure = result.error().message();
        return std::nullopt;
    }
    return result->rows;
}

void DatabaseRunsModel::readChoices()
{
    auto column = [&](const QString& name) {
        QStringList values;
        if (const auto rows = ask(distinctValues(name) + QStringLiteral("SELECT x FROM v WHERE x "
                                                                        "IS NOT NULL"))) {
            for (const QStringList& row : *rows)
                values << row[0];
        }
        return values;
    };
    m_sites = column(QStringLiteral("site"));
    m_fileNames = column(QStringLiteral("file_name"));
    if (const auto rows = ask(QStringLiteral("SELECT min(logged_at)::date, max(logged_at)::date "
                                             "FROM pelko_runs"));
        rows && !rows->isEmpty()) {
        m_earliest = QDate::fromString(rows->first().value(0), Qt::ISODate);
        m_latest = QDate::fromString(rows->first().value(1), Qt::ISODate);
    }
}

std::optional<QStringList> DatabaseRunsModel::userIdsMatching(const ClassLogFilter& filter) const
{
    const QString text = filter.user.trimmed();
    if (text.isEmpty() || filter.exactUserId)
        return std::nullopt;
    if (!m_users) {
        const auto rows =
            ask(distinctValues(QStringLiteral("user_id")) +
                QStringLiteral("SELECT x, (SELECT user_name FROM pelko_runs WHERE user_id = v.x "
                               "ORDER BY logged_at DESC LIMIT 1) FROM v WHERE x IS NOT NULL"));
        if (!rows)
            return std::nullopt;
        m_users.emplace();
        for (const QStringList& row : *rows)
            m_users->append({row[0], row[1]});
    }
    // As on a log: a part of the ID or the name, letter case ignored (the latest name here).
    QStringList ids;
    for (const auto& [id, name] : *m_users) {
        if (id.contains(text, Qt::CaseInsensitive) || name.contains(text, Qt::CaseInsensitive))
            ids << id;
        if (ids.size() > MostUserIds)
            return std::nullopt;
    }
    return ids;
}

void DatabaseRunsModel::setFilter(const ClassLogFilter& filter)
{
    m_filter.runs = filter;
    m_failure.clear();
    m_filter.userIds = userIdsMatching(filter);
    refresh();
}

void DatabaseRunsModel::sort(int column, Qt::SortOrder order)
{
    if (column >= ClassLogColumns::Count || (column < 0 && m_filter.sortColumn < 0))
        return;
    m_filter.sortColumn = column;
    m_filter.order = order;
    // The same rows in another order: the count, and a count still running, stand.
    beginResetModel();
    m_pages.clear();
    endResetModel();
}

void DatabaseRunsModel::refresh()
{
    beginResetModel();
    m_pages.clear();
    ++m_generation;
    QStringList parameters;
    const QString where = DatabaseLog::whereClause(m_filter, parameters);
    // A count stops early once it is clear the set is large.
    const auto rows = ask(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM pelko_runs") + where +
                              QStringLiteral(" LIMIT %1) AS a").arg(CountedAtOnce + 1),
                          parameters);
    m_count = rows && !rows->isEmpty() ? rows->first().value(0).toInt() : 0;
    m_counted = m_count <= CountedAtOnce;
    if (!m_counted)
        countInBackground(QStringLiteral("SELECT count(*) FROM pelko_runs") + where, parameters);
    endResetModel();
    if (m_counted)
        Q_EMIT rowsCounted();
}

void DatabaseRunsModel::countInBackground(const QString& sql, const QStringList& parameters)
{
    const int generation = m_generation;
    const PostgresConnection::Parameters server = m_server;
    m_counting.start([this, generation, server, sql, parameters] {
        auto connection = PostgresConnection::open(server);
        const auto rows = connection ? (*connection)->exec(sql, parameters)
                                     : Expected<PostgresConnection::Result>(connection.error());
        const qint64 count =
            rows && !rows->rows.isEmpty() ? rows->rows.first().value(0).toLongLong() : -1;
        const QString failure = rows ? QString() : rows.error().message();
        QMetaObject::invokeMethod(
            this,
            [this, generation, count, failure] {
                if (generation != m_generation)
                    return;
                m_counted = true;
                if (count < 0) {
                    m_failure = failure;
                } else if (count > m_count) {
                    // The view keeps its place: the rows below it are simply more.
                    beginInsertRows({}, m_count,
                                    int(qMin<qint64>(count, std::numeric_limits<int>::max())) - 1);
                    m_count = int(qMin<qint64>(count, std::numeric_limits<int>::max()));
                    endInsertRows();
                }
                Q_EMIT rowsCounted();
            },
            Qt::QueuedConnection);
    });
}

int DatabaseRunsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

const DatabaseRunsModel::Page* DatabaseRunsModel::pageOf(int row) const
{
    const int first = row / PageSize * PageSize;
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [&](const Page& page) { return page.first == first; });
    if (found != m_pages.end()) {
        m_pages.splice(m_pages.begin(), m_pages, found);
        return &m_pages.front();
    }
    // A page past the middle is read from the end: the server skips fewer rows.
    const int size = std::min(PageSize, m_count - first);
    const bool fromEnd = m_counted && first > m_count / 2;
    const int skipped = fromEnd ? m_count - first - size : first;
    QStringList parameters;
    const QString where = DatabaseLog::whereClause(m_filter, parameters);
    const QString order = DatabaseLog::orderClause(m_filter, fromEnd);
    QString sql = QStringLiteral("SELECT ") + DatabaseLog::lineColumns() +
                  QStringLiteral(" FROM pelko_runs") + where;
    const bool timeOrder = m_filter.sortColumn < 0 || m_filter.sortColumn == int(LogColumn::Date);
    if (timeOrder && skipped > 10 * PageSize) {
        // Deep in time order the skipping runs on the time index alone, and the page is
        // read from where it ends: seconds become a fraction of one.
        const bool descending =
            (m_filter.sortColumn >= 0 && m_filter.order == Qt::DescendingOrder) != fromEnd;
        sql += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
               QStringLiteral("(logged_at, run_id) %1 (SELECT logged_at, run_id FROM pelko_runs")
                   .arg(descending ? u"<=" : u">=") +
               where + order + QStringLiteral(" OFFSET %1 LIMIT 1)").arg(skipped) + order +
               QStringLiteral(" LIMIT %1").arg(size);
    } else {
        sql += order + QStringLiteral(" LIMIT %1 OFFSET %2").arg(size).arg(skipped);
    }
    auto rows = ask(sql, parameters);
    if (!rows)
        return nullptr;
    if (fromEnd)
        std::reverse(rows->begin(), rows->end());
    auto runs = std::make_shared<ClassLog>();
    runs->openBytes(DatabaseLog::linesOf(*rows));
    m_pages.push_front({first, std::move(runs)});
    if (m_pages.size() > size_t(PagesKept))
        m_pages.pop_back();
    return &m_pages.front();
}

QVariant DatabaseRunsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(column);
    if (role != Qt::DisplayRole)
        return {};
    const Page* page = pageOf(index.row());
    const int row = index.row() - (page ? page->first : 0);
    if (!page || row >= page->runs->size())
        return {};
    return ClassLogColumns::cellText(*page->runs, row, column, m_filter.runs.passSpeed);
}

QString DatabaseRunsModel::userIdAt(int shownRow) const
{
    const Page* page = shownRow < m_count ? pageOf(shownRow) : nullptr;
    const int row = shownRow - (page ? page->first : 0);
    if (!page || row >= page->runs->size())
        return {};
    return page->runs->text(row, int(LogColumn::UserId)).trimmed();
}

std::optional<QList<UserSummary>> DatabaseRunsModel::summary() const
{
    if (!m_counted || m_count > SummaryLimit)
        return std::nullopt;
    QStringList parameters;
    const QString where = DatabaseLog::whereClause(m_filter, parameters);
    parameters << QString(LogFormat::DrillFileName);
    const QString notDrill =
        QStringLiteral("FILTER (WHERE file_name <> $%1)").arg(parameters.size());
    // As on a log: a user's best leaves drills out, the latest run goes by time.
    const auto rows =
        ask(QStringLiteral("SELECT btrim(user_id), (array_agg(user_name ORDER BY logged_at DESC, "
                           "run_id DESC))[1], count(*), coalesce(max(chars_per_minute) %1, 0), "
                           "(array_agg(chars_per_minute ORDER BY logged_at DESC, run_id DESC))[1], "
                           "coalesce(max(accuracy) %1, 0) FROM pelko_runs")
                    .arg(notDrill) +
                where + QStringLiteral(" GROUP BY 1 ORDER BY 1"),
            parameters);
    if (!rows)
        return QList<UserSummary>();
    QList<UserSummary> users;
    for (const QStringList& row : *rows)
        users.append(
            {row[0], row[1], row[2].toInt(), row[3].toFloat(), row[4].toFloat(), row[5].toFloat()});
    return users;
}

ProgressData DatabaseRunsModel::progressOf(const QString& userId) const
{
    DatabaseLog::Filter mine = m_filter;
    mine.runs.user = userId.trimmed();
    mine.runs.exactUserId = true;
    mine.userIds.reset();
    mine.sortColumn = -1;
    ClassLog runs;
    const auto lines =
        m_connection ? DatabaseLog::fetch(*m_connection, mine) : Expected<QByteArray>(QByteArray());
    if (lines)
        runs.openBytes(*lines);
    else
        m_failure = lines.error().message();
    return ::progressOf(runs, allRows(runs), userId, m_filter.runs.passSpeed);
}

bool DatabaseRunsModel::writeCsv(QIODevice& out) const
{
    // Through a cursor, a batch at a time: an export of every run never holds them all.
    QStringList parameters;
    const QString sql = QStringLiteral("DECLARE pelko_export NO SCROLL CURSOR FOR SELECT ") +
                        DatabaseLog::lineColumns() + QStringLiteral(" FROM pelko_runs") +
                        DatabaseLog::whereClause(m_filter, parameters) +
                        DatabaseLog::orderClause(m_filter);
    if (!ask(QStringLiteral("BEGIN READ ONLY")))
        return false;
    bool written = ask(sql, parameters) && CsvExport::writeTitles(out);
    while (written) {
        const auto rows = ask(QStringLiteral("FETCH 20000 FROM pelko_export"));
        if (!rows || rows->isEmpty()) {
            written = rows.has_value();
            break;
        }
        ClassLog batch;
        batch.openBytes(DatabaseLog::linesOf(*rows));
        written = CsvExport::writeRows(out, batch, allRows(batch), m_filter.runs.passSpeed);
    }
    (void)ask(QStringLiteral("COMMIT"));
    return written;
}
