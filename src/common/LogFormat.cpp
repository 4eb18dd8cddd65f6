#include "LogFormat.h"

namespace LogFormat
{

QString title(LogColumn column)
{
    static const std::array<QString, ColumnCount> titles{QStringLiteral("連番"),
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
    return titles[size_t(column)];
}

std::optional<LogColumn> columnOfCode(QChar code)
{
    for (const LogColumn column : Columns) {
        if (LogFormat::code(column) == code)
            return column;
    }
    return std::nullopt;
}

std::optional<LogColumn> columnOfTitle(const QString& title)
{
    for (const LogColumn column : Columns) {
        if (LogFormat::title(column) == title)
            return column;
    }
    return std::nullopt;
}

} // namespace LogFormat
