#include "LogColumns.h"

#include <QStringList>

namespace LogColumns
{

QString title(int column)
{
    static const QStringList titles{QStringLiteral("連番"),
                                    QStringLiteral("日付"),
                                    QStringLiteral("時間"),
                                    QStringLiteral("入力ユーザＩＤ"),
                                    QStringLiteral("入力ユーザ名"),
                                    QStringLiteral("使用ＰＣ名"),
                                    QStringLiteral("使用ＰＣユーザ名"),
                                    QStringLiteral("データファイル名"),
                                    QStringLiteral("入力速度(文字/分)"),
                                    QStringLiteral("正打率(%)"),
                                    QStringLiteral("エラー数"),
                                    QStringLiteral("入力文字数"),
                                    QStringLiteral("総文字数"),
                                    QStringLiteral("漢字含有率"),
                                    QStringLiteral("半角文字含有率"),
                                    QStringLiteral("計測時間(秒)")};
    static_assert(Count == 16);
    return titles.value(column);
}

QChar code(int column)
{
    return QChar(u"0123456789ABCDEF"[column]);
}

} // namespace LogColumns
