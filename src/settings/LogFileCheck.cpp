#include "LogFileCheck.h"

#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "common/NumericText.h"
#include "platform/FileSystem.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace
{

// Far beyond any real first record; a file without line ends is not read whole.
constexpr qint64 MaxFirstLine = 64 * 1024;

QString fieldText(QByteArrayView raw, bool& ok)
{
    const auto decoded = Cp932::decode(raw);
    ok = decoded.ok;
    QString text = decoded.text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2);
    return text;
}

} // namespace

namespace LogFileCheck
{

bool isLogDate(QStringView text)
{
    static const char16_t* const formats[] = {u"M-d-yyyy", u"M/d/yyyy", u"yyyy-M-d", u"yyyy/M/d"};
    const QString trimmed = text.trimmed().toString();
    for (const char16_t* format : formats) {
        if (QDate::fromString(trimmed, QString::fromUtf16(format)).isValid())
            return true;
    }
    return false;
}

bool firstLineLooksLikeLog(const QByteArray& line)
{
    QByteArrayView fields[2];
    if (LogFormat::splitFields(line, fields, 2) < 2)
        return false;
    bool ok = false;
    const QString number = fieldText(fields[int(LogColumn::RecordNumber)], ok);
    if (!ok || !NumericText::isNumber(number))
        return false;
    const QString date = fieldText(fields[int(LogColumn::Date)], ok);
    return ok && isLogDate(date);
}

bool isAcceptable(const QString& folder, const QString& name)
{
    if (name.trimmed().isEmpty())
        return false;
    const QFileInfo info(FileSystem::resolveCase(FileSystem::joinPath(folder, name)));
    if (!info.exists())
        return true;
    // A folder, pipe or device can never take log lines.
    if (!info.isFile())
        return false;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() == 0)
        return true;
    QByteArray line = file.readLine(MaxFirstLine);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return firstLineLooksLikeLog(line);
}

} // namespace LogFileCheck
