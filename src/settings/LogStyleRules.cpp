#include "LogStyleRules.h"

#include "app/modPelko.h"
#include "clsKankyo.h"
#include "results/clsLogWriter.h"

namespace LogStyleRules
{

QStringList catalogueTitles()
{
    QStringList titles;
    for (int j = 0; j < LogColumnCount; ++j)
        titles << LogColumn[j][0];
    return titles;
}

QStringList titlesOf(const QString& logStyle)
{
    QStringList titles;
    for (const QChar c : logStyle) {
        for (int j = 0; j < LogColumnCount; ++j) {
            if (LogColumn[j][1] == QStringView(&c, 1))
                titles << LogColumn[j][0];
        }
    }
    return titles;
}

bool addTitle(QStringList& chosen, const QString& title)
{
    if (chosen.contains(title))
        return false;
    chosen << title;
    return true;
}

int rowAfterRemove(int removed, int remaining)
{
    if (remaining <= 0)
        return -1;
    return removed < remaining ? removed : remaining - 1;
}

QString styleOf(const QStringList& chosen)
{
    QString codes;
    for (int j = 0; j < LogColumnCount; ++j) {
        for (const QString& title : chosen) {
            if (title == LogColumn[j][0])
                codes += LogColumn[j][1];
        }
    }
    return codes;
}

Outcome confirm(clsKankyo& settings, const QStringList& chosen, const QDateTime& now)
{
    const QString style = styleOf(chosen);
    Outcome outcome = Outcome::Unchanged;
    if (style != settings.LogStyle()) {
        settings.setLogStyle(style);
        outcome = AppendLogStyleChange(settings.SubLogPath(), settings.SubLogName(), style, now)
                      ? Outcome::Changed
                      : Outcome::BlockNotWritten;
    }
    settings.SaveLogStyle();
    return outcome;
}

QString blockFailureText(const clsKankyo& settings)
{
    return LogFilePath(settings.SubLogPath(), settings.SubLogName()) +
           QStringLiteral("に形式変更の記録を書き込めませんでした。") + u'\r' +
           QStringLiteral(
               "新しい合格ログの形式は保存します。合格ログのフォルダを確認してください。");
}

} // namespace LogStyleRules
