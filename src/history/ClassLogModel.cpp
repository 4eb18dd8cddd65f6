#include "ClassLogModel.h"

#include "ClassLog.h"

ClassLogModel::ClassLogModel(QObject* parent) : QAbstractTableModel(parent)
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
}

int ClassLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClassLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ClassLogColumns::Count;
}

QVariant ClassLogModel::data(const QModelIndex& index, int role) const
{
    if (!m_log || !index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole)
        return ClassLogColumns::cellText(*m_log, logRow(index.row()), column, m_filter.passSpeed);
    if (role == Qt::TextAlignmentRole) {
        const bool number = column == 0 || column >= 8;
        const bool text = column >= 3 && column <= 7;
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (number && column != ClassLogColumns::PassColumn
                                        ? Qt::AlignRight
                                        : (text ? Qt::AlignLeft : Qt::AlignHCenter)));
    }
    return {};
}

QString ClassLogModel::headerTitle(int column)
{
    // Two short lines rather than one long one: every column fits at 1280 pixels.
    QString title = ClassLogColumns::title(column);
    static const struct {
        const char16_t* head;
        qsizetype length;
    } breaks[] = {{u"使用ＰＣユーザ名", 4}, {u"使用ＰＣ名", 2}, {u"半角文字", 4}, {u"データ", 3},
                  {u"エラー", 3},           {u"総文字", 1},     {u"入力", 2},     {u"漢字", 2}};
    const qsizetype bracket = title.indexOf(u'(');
    if (bracket > 0)
        return title.insert(bracket, u'\n');
    for (const auto& rule : breaks) {
        if (title.startsWith(QStringView(rule.head)) && title.size() > rule.length)
            return title.insert(rule.length, u'\n');
    }
    return title;
}

QVariant ClassLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return ClassLogColumns::title(section);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headerTitle(section);
    return section + 1;
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
