#include "ClassLogModel.h"

#include "ClassLog.h"
#include "CsvExport.h"

ClassLogModel::ClassLogModel(QObject* parent) : RunsTableModel(parent)
{
}

ClassLogModel::~ClassLogModel() = default;

void ClassLogModel::setLog(std::shared_ptr<const ClassLog> log)
{
    m_log = std::move(log);
    rebuild();
}

void ClassLogModel::setFilter(const ClassLogFilter& filter)
{
    m_filter = filter;
    rebuild();
}

void ClassLogModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    if (m_log) {
        m_rows = selectRows(*m_log, m_filter);
        if (m_sortColumn >= 0)
            sortRows(*m_log, m_rows, m_sortColumn, m_sortOrder, m_filter.passSpeed);
    }
    endResetModel();
    Q_EMIT rowsCounted();
}

int ClassLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ClassLogModel::data(const QModelIndex& index, int role) const
{
    if (!m_log || !index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole)
        return ClassLogColumns::cellText(*m_log, logRow(index.row()), column, m_filter.passSpeed);
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(column);
    return {};
}

void ClassLogModel::sort(int column, Qt::SortOrder order)
{
    if (column >= ClassLogColumns::Count)
        return;
    if (column < 0 && m_sortColumn < 0)
        return;
    if (column < 0) {
        m_sortColumn = -1;
        rebuild(); // back to log order
        return;
    }
    m_sortColumn = column;
    m_sortOrder = order;
    // A reset rather than a layout change: a million persistent indexes are not worth keeping.
    beginResetModel();
    if (m_log)
        sortRows(*m_log, m_rows, column, order, m_filter.passSpeed);
    endResetModel();
}

QString ClassLogModel::userIdAt(int shownRow) const
{
    return m_log ? m_log->text(logRow(shownRow), int(LogColumn::UserId)).trimmed() : QString();
}

std::optional<QList<UserSummary>> ClassLogModel::summary() const
{
    return m_log ? summarize(*m_log, m_rows) : QList<UserSummary>();
}

ProgressData ClassLogModel::progressOf(const QString& userId) const
{
    if (!m_log)
        return {};
    return ::progressOf(*m_log, m_rows, userId, m_filter.passSpeed);
}

bool ClassLogModel::writeCsv(QIODevice& out) const
{
    return m_log && CsvExport::write(out, *m_log, m_rows, m_filter.passSpeed);
}
