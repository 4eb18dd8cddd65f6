#include "LogWriter.h"

#include "LogColumns.h"
#include "LogFile.h"
#include "LogRecordNumber.h"
#include "common/ClockText.h"
#include "common/Cp932.h"
#include "common/NumericText.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

namespace
{

const QByteArray crLf = QByteArrayLiteral("\r\n");

QByteArray quoted(const QString& text)
{
    // Commas and quotes go in unchanged (the ranking skips such a line); a line break would
    // split the record in two, so it is written as a blank.
    QByteArray bytes = Cp932::encode(text).bytes;
    bytes.replace('\r', ' ').replace('\n', ' ');
    return '"' + bytes + '"';
}

QByteArray integer(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray real(float value)
{
    return NumericText::singleLogText(value).toLatin1();
}

} // namespace

QString logFilePath(const QString& folder, const QString& name)
{
    return FileSystem::resolveCase(FileSystem::joinPath(FileSystem::resolveCase(folder), name));
}

QByteArray LogWriter::columnBytes(int column, const QDateTime& now) const
{
    switch (column) {
    case 0:
        return integer(recordNumber);
    case 1:
        return quoted(ClockText::dateText(now.date()));
    case 2:
        return quoted(ClockText::timeText(now.time()));
    case 3:
        return quoted(userId);
    case 4:
        return quoted(userName);
    case 5:
        return quoted(computerName);
    case 6:
        return quoted(loginName);
    case 7:
        return quoted(fileName);
    case 8:
        return real(charsPerMinute);
    case 9:
        return real(accuracy);
    case 10:
        return integer(errors);
    case 11:
        return integer(acceptedChars);
    case 12:
        return integer(totalChars);
    case 13:
        return integer(kanjiOrSymbolChars);
    case 14:
        return integer(alphanumericChars);
    case 15:
        return integer(secondsUsed);
    }
    return {};
}

QByteArray LogWriter::mainLine(const QDateTime& now) const
{
    QByteArray line;
    for (int column = 0; column < LogColumns::Count; ++column) {
        if (column > 0)
            line += ',';
        line += columnBytes(column, now);
    }
    return line + crLf;
}

qint16 LogWriter::write(bool alsoPassLog)
{
    // A value Shift-JIS cannot hold cannot be written: refuse before touching either file.
    recordWritten = false;
    for (const QString* text : {&userId, &userName, &computerName, &loginName, &fileName}) {
        if (!Cp932::encode(*text).ok)
            return 1;
    }
    if (!writeMainRecord())
        return 1;
    recordWritten = true;
    if (alsoPassLog && !writePassLine())
        return 1;
    return 0;
}

bool LogWriter::writeMainRecord()
{
    // A log that was there but is gone once locked was another writer's failed first record:
    // it is this writer's to create now.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString path = logFilePath(logFolder, logName);
        const bool existedBefore = QFileInfo::exists(path);
        if (!existedBefore) {
            recordNumber = 0;
            bool existed = false;
            if (LogFile::createWith(path, mainLine(currentTime()), existed))
                return true;
            // Someone else created it meanwhile, or the folder does not allow the quick way:
            // fall through to the ordinary append.
        }
        auto file = LogFile::openLocked(
            path, existedBefore ? LogFile::Open::Existing : LogFile::Open::CreateIfMissing,
            lockTimeoutMs);
        if (file)
            return appendNumbered(*file, existedBefore);
        if (!existedBefore || QFileInfo::exists(path))
            return false;
    }
    return false;
}

bool LogWriter::appendNumbered(LogFile& file, bool existedBefore)
{
    const qint64 size = file.size();
    if (size < 0)
        return false;
    if (!existedBefore && size == 0) {
        recordNumber = 0;
    } else {
        const auto last = LogRecordNumber::lastNumbered(file.fd(), size);
        if (last.status == LogRecordNumber::Result::ReadError)
            return false;
        qint16 previous = 0;
        if (last.status == LogRecordNumber::Result::Found) {
            const auto number = NumericText::toInt16(last.value);
            if (!number || *number == 32767)
                return false;
            previous = *number;
        }
        recordNumber = qint16(previous + 1);
    }
    QByteArray record = mainLine(currentTime());
    if (size > 0 && !file.endsWithCrLf(size))
        record.prepend(crLf); // a torn last line must not swallow this record
    return file.append(record);
}

bool LogWriter::writePassLine()
{
    const QDateTime now = currentTime();
    QByteArray line;
    for (const QChar code : columnCodes) {
        for (int column = 0; column < LogColumns::Count; ++column) {
            if (LogColumns::code(column) == code)
                line += columnBytes(column, now) + ',';
        }
    }
    line += crLf;
    auto file = LogFile::openLocked(logFilePath(passLogFolder, passLogName),
                                    LogFile::Open::CreateIfMissing, lockTimeoutMs);
    return file && file->append(line);
}

bool appendColumnChange(const QString& passLogFolder, const QString& passLogName,
                        const QString& newFormat, const QDateTime& now, int lockTimeoutMs)
{
    QString titles;
    for (int column = 0; column < LogColumns::Count; ++column) {
        for (const QChar code : newFormat) {
            if (LogColumns::code(column) == code)
                titles += LogColumns::title(column) + u',';
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
