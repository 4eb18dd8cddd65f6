#pragma once

#include "DatabaseLog.h"
#include "RunsTableModel.h"
#include "platform/PostgresConnection.h"

#include <QDate>
#include <QStringList>
#include <QThreadPool>

#include <list>
#include <memory>

class ClassLog;

// The results database's runs for the browser, read a page at a time: the server filters,
// counts and sorts, and only the pages in sight are kept, so ten million rows take no more
// memory than a hundred.
class DatabaseRunsModel : public RunsTableModel
{
    Q_OBJECT
public:
    explicit DatabaseRunsModel(QObject* parent = nullptr);
    ~DatabaseRunsModel() override;

    // Connects afresh and reads what the filters offer; false (and failure()) when the
    // server cannot be reached.
    bool connectTo(const PostgresConnection::Parameters& server);

    // What the filters offer, read once: sites, problem files, the first and last dates.
    QStringList sites() const { return m_sites; }
    QStringList fileNames() const { return m_fileNames; }
    QDate earliestDate() const { return m_earliest; }
    QDate latestDate() const { return m_latest; }
    // False while a large set is still being counted: until then rowCount() is what the
    // first pages hold.
    bool isCounted() const { return m_counted; }
    // Why the last question to the server failed; empty when it answered.
    QString failure() const { return m_failure; }

    void setFilter(const ClassLogFilter& filter) override;
    const ClassLogFilter& filter() const override { return m_filter.runs; }
    QString userIdAt(int shownRow) const override;
    std::optional<QList<UserSummary>> summary() const override;
    ProgressData progressOf(const QString& userId) const override;
    bool writeCsv(QIODevice& out) const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Rows fetched together, and pages kept.
    static constexpr int PageSize = 200;
    static constexpr int PagesKept = 40;
    // Per-user sums over more rows than this would keep the browser waiting.
    static constexpr qint64 SummaryLimit = 500000;
    // Sets up to this size are counted before the table shows; larger ones in the background.
    static constexpr int CountedAtOnce = 100000;

private:
    struct Page {
        int first = 0;
        std::shared_ptr<ClassLog> runs;
    };
    void readChoices();
    void refresh();
    void countInBackground(const QString& sql, const QStringList& parameters);
    const Page* pageOf(int row) const;
    std::optional<QStringList> userIdsMatching(const ClassLogFilter& filter) const;
    // Runs a query; on failure notes why and gives nothing.
    std::optional<QList<QStringList>> ask(const QString& sql,
                                          const QStringList& parameters = {}) const;

    std::unique_ptr<PostgresConnection> m_connection;
    PostgresConnection::Parameters m_server;
    // Counting takes a connection of its own; a count for an older filter is dropped.
    QThreadPool m_counting;
    int m_generation = 0;
    bool m_counted = true;
    DatabaseLog::Filter m_filter;
    int m_count = 0;
    QStringList m_sites;
    QStringList m_fileNames;
    QDate m_earliest;
    QDate m_latest;
    // Every user ID with its latest name, read when a user filter first needs it.
    mutable std::optional<QList<std::pair<QString, QString>>> m_users;
    mutable std::list<Page> m_pages; // most recently used first
    mutable QString m_failure;
};
