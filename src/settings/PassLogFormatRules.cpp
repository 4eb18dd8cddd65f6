#include "PassLogFormatRules.h"

#include "Settings.h"
#include "results/LogColumns.h"
#include "results/LogWriter.h"

namespace PassLogFormatRules
{

QStringList catalogueTitles()
{
    QStringList titles;
    for (int j = 0; j < LogColumns::Count; ++j)
        titles << LogColumns::title(j);
    return titles;
}

QStringList titlesOf(const QString& format)
{
    QStringList titles;
    for (const QChar c : format) {
        for (int j = 0; j < LogColumns::Count; ++j) {
            if (LogColumns::code(j) == c)
                titles << LogColumns::title(j);
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

QString formatOf(const QStringList& chosen)
{
    QString codes;
    for (int j = 0; j < LogColumns::Count; ++j) {
        for (const QString& title : chosen) {
            if (title == LogColumns::title(j))
                codes += LogColumns::code(j);
        }
    }
    return codes;
}

Outcome confirm(Settings& settings, const QStringList& chosen, const QDateTime& now)
{
    const QString format = formatOf(chosen);
    Outcome outcome = Outcome::Unchanged;
    if (format != settings.passLogFormat()) {
        settings.setPassLogFormat(format);
        outcome = appendColumnChange(settings.passLogFolder(), settings.passLogName(), format, now)
                      ? Outcome::Changed
                      : Outcome::BlockNotWritten;
    }
    settings.savePassLogFormat();
    return outcome;
}

QString blockFailureText(const Settings& settings)
{
    return logFilePath(settings.passLogFolder(), settings.passLogName()) +
           QStringLiteral("に形式変更の記録を書き込めませんでした。") + u'\r' +
           QStringLiteral(
               "新しい合格ログの形式は保存します。合格ログのフォルダを確認してください。");
}

} // namespace PassLogFormatRules
