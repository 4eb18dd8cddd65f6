#include "clsLogWriter.h"

#include "LogField.h"
#include "LogFile.h"
#include "LogRecordNumber.h"
#include "app/modPelko.h"
#include "common/ClockText.h"
#include "common/Cp932.h"
#include "common/NumericText.h"
#include "platform/FileSystem.h"
#include "settings/clsKankyo.h"

#include <QFileInfo>

namespace
{

const QByteArray crLf = QByteArrayLiteral("\r\n");

QByteArray quoted(const QString& text)
{
    return '"' + Cp932::encode(text).bytes + '"';
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

QString LogFilePath(const QString& folder, const QString& name)
{
    return FileSystem::resolveCase(FileSystem::joinPath(FileSystem::resolveCase(folder), name));
}

clsLogWriter::clsLogWriter()
{
    if (objKankyo)
        LogStyle = objKankyo->LogStyle();
}

QByteArray clsLogWriter::ColumnBytes(int column, const QDateTime& now) const
{
    switch (column) {
    case 0:
        return integer(LogNumber);
    case 1:
        return quoted(ClockText::dateText(now.date()));
    case 2:
        return quoted(ClockText::timeText(now.time()));
    case 3:
        return quoted(UserID);
    case 4:
        return quoted(UserName);
    case 5:
        return quoted(PC_NAME);
    case 6:
        return quoted(PC_USER);
    case 7:
        return quoted(Filename);
    case 8:
        return real(InpSpeed);
    case 9:
        return real(Seidaritu);
    case 10:
        return integer(ErrCount);
    case 11:
        return integer(InpMozisu);
    case 12:
        return integer(SouMozisu);
    case 13:
        return integer(KanziKigo);
    case 14:
        return integer(Eisu);
    case 15:
        return integer(UseTime);
    }
    return {};
}

QByteArray clsLogWriter::mainLine(const QDateTime& now) const
{
    QByteArray line;
    for (int column = 0; column < LogColumnCount; ++column) {
        if (column > 0)
            line += ',';
        line += ColumnBytes(column, now);
    }
    return line + crLf;
}

qint16 clsLogWriter::LogWrite(bool pvsubwrite)
{
    // A value that would break the line or cannot be written: refuse before touching
    // either file.
    for (const QString* text : {&UserID, &UserName, &PC_NAME, &PC_USER, &Filename}) {
        if (!LogField::isUsable(*text))
            return 1;
    }
    if (!writeMainRecord())
        return 1;
    if (pvsubwrite && !writePassLine())
        return 1;
    return 0;
}

bool clsLogWriter::writeMainRecord()
{
    const QString path = LogFilePath(LogPath, LogName);
    const bool existedBefore = QFileInfo::exists(path);
    if (!existedBefore) {
        LogNumber = 0;
        bool existed = false;
        if (LogFile::createWith(path, mainLine(Now()), existed))
            return true;
        // Someone else created it meanwhile, or the folder does not allow the quick way:
        // fall through to the ordinary append.
    }
    auto file = LogFile::openLocked(
        path, existedBefore ? LogFile::Open::Existing : LogFile::Open::CreateIfMissing,
        LockTimeoutMs);
    if (!file)
        return false;
    const qint64 size = file->size();
    if (size < 0)
        return false;
    if (!existedBefore && size == 0) {
        LogNumber = 0;
    } else {
        const auto last = LogRecordNumber::lastNumbered(file->fd(), size);
        if (last.status == LogRecordNumber::Result::ReadError)
            return false;
        qint16 previous = 0;
        if (last.status == LogRecordNumber::Result::Found) {
            const auto number = NumericText::toInt16(last.value);
            if (!number || *number == 32767)
                return false;
            previous = *number;
        }
        LogNumber = qint16(previous + 1);
    }
    QByteArray record = mainLine(Now());
    if (size > 0 && !file->endsWithCrLf(size))
        record.prepend(crLf); // a torn last line must not swallow this record
    return file->append(record);
}

bool clsLogWriter::writePassLine()
{
    const QDateTime now = Now();
    QByteArray line;
    for (const QChar code : LogStyle) {
        for (int column = 0; column < LogColumnCount; ++column) {
            if (LogColumn[column][1] == QStringView(&code, 1))
                line += ColumnBytes(column, now) + ',';
        }
    }
    line += crLf;
    auto file = LogFile::openLocked(LogFilePath(SubLogPath, SubLogName),
                                    LogFile::Open::CreateIfMissing, LockTimeoutMs);
    return file && file->append(line);
}

bool AppendLogStyleChange(const QString& subLogPath, const QString& subLogName,
                          const QString& newStyle, const QDateTime& now, int lockTimeoutMs)
{
    QString titles;
    for (int column = 0; column < LogColumnCount; ++column) {
        for (const QChar code : newStyle) {
            if (LogColumn[column][1] == QStringView(&code, 1))
                titles += LogColumn[column][0] + u',';
        }
    }
    const QString block = QStringLiteral("\r\n+++ログ形式変更+++") +
                          ClockText::dateText(now.date()) + u' ' + ClockText::timeText(now.time()) +
                          u"+++\r\n" + titles + u"\r\n---以下ログ---\r\n\r\n";
    const Cp932::Encoded bytes = Cp932::encode(block);
    if (!bytes.ok)
        return false;
    auto file = LogFile::openLocked(LogFilePath(subLogPath, subLogName),
                                    LogFile::Open::CreateIfMissing, lockTimeoutMs);
    return file && file->append(bytes.bytes);
}
