#include "RunsTableModel.h"

int RunsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ClassLogColumns::Count;
}

QVariant RunsTableModel::alignmentOf(int column)
{
    const bool number = column == 0 || column >= 8;
    const bool text = column >= 3 && column <= 7;
    return QVariant::fromValue(Qt::AlignVCenter |
                               (number && column != ClassLogColumns::PassColumn
                                    ? Qt::AlignRight
                                    : (text ? Qt::AlignLeft : Qt::AlignHCenter)));
}

QString RunsTableModel::headerTitle(int column)
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

QVariant RunsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return ClassLogColumns::title(section);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headerTitle(section);
    return section + 1;
}
