#pragma once

#include "RunsTableModel.h"

#include <memory>
#include <vector>

class ClassLog;

// The records of the main log for a table view: the rows the filter lets through, in the
// order last asked for. Cells are made when the view asks for them.
class ClassLogModel : public RunsTableModel
{
    Q_OBJECT
public:
    explicit ClassLogModel(QObject* parent = nullptr);
    ~ClassLogModel() override;

    void setLog(std::shared_ptr<const ClassLog> log);
    const ClassLog* log() const { return m_log.get(); }
    void setFilter(const ClassLogFilter& filter) override;
    const ClassLogFilter& filter() const override { return m_filter; }
    // Log rows in the order shown.
    const std::vector<int>& rows() const { return m_rows; }
    int logRow(int shownRow) const { return m_rows[size_t(shownRow)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QString userIdAt(int shownRow) const override;
    std::optional<QList<UserSummary>> summary() const override;
    ProgressData progressOf(const QString& userId) const override;
    bool writeCsv(QIODevice& out) const override;

private:
    void rebuild();

    std::shared_ptr<const ClassLog> m_log;
    ClassLogFilter m_filter;
    std::vector<int> m_rows;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
