#include "PassLogFormatRules.h"

#include "Settings.h"
#include "common/ClockText.h"
#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "platform/LogFile.h"

namespace PassLogFormatRules
{

QStringList catalogueTitles()
{
    QStringList titles;
    for (const LogColumn column : LogFormat::Columns)
        titles << LogFormat::title(column);
    return titles;
}

QStringList titlesOf(const QString& format)
{
    QStringList titles;
    for (const QChar c : format) {
        if (const auto column = LogFormat::columnOfCode(c))
            titles << LogFormat::title(*column);
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
    for (const LogColumn column : LogFormat::Columns) {
        for (const QString& title : chosen) {
            if (title == LogFormat::title(column))
                codes += LogFormat::code(column);
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

bool appendColumnChange(const QString& passLogFolder, const QString& passLogName,
                        const QString& newFormat, const QDateTime& now, int lockTimeoutMs)
{
    // Titles in log order, a repeated code repeating its title.
    QString titles;
    for (const LogColumn column : LogFormat::Columns) {
        for (const QChar code : newFormat) {
            if (LogFormat::code(column) == code)
                titles += LogFormat::title(column) + u',';
        }
    }
    const QString block = QStringLiteral("\r\n+++ログ形式変更+++") +
                          ClockText::dateText(now.date()) + u' ' + ClockText::timeText(now.time()) +
                          u"+++\r\n" + titles + u"\r\n---以下ログ---\r\n\r\n";
    const Cp932::Encoded bytes = Cp932::encode(block);
    if (!bytes.ok)
        return false;
    auto file = LogFile::openLocked(logFilePath(passLogFolder, passLogName),
                                    LogFile::Open::CreateIfMissing, lockTimeoutMs);
    return file && file->append(bytes.bytes);
}
