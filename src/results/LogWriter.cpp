#include "LogWriter.h"

#include "LogArchive.h"
#include "LogRecordNumber.h"
#include "common/ClockText.h"
#include "common/Cp932.h"
#include "common/NumericText.h"
#include "platform/LogFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace
{

const QByteArray crLf = QByteArrayLiteral("\r\n");

QByteArray quoted(const QString& text)
{
    // Commas and quotes go in unchanged (the ranking skips such a line); a line break would
    // split the record in two, so it is written as a blank. A character Shift-JIS cannot hold
    // is written as "?": the PC or login name the system reports is no reason to lose a run.
    QByteArray bytes = Cp932::encodeReplacing(text);
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

QString reasonText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに空きがありません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EAGAIN:
        return QStringLiteral("ほかのパソコンが書き込み中のため待ちきれませんでした");
    case ERANGE:
        return QStringLiteral("ログの連番が読めません");
    case NotRegularFile:
        return QStringLiteral("ログファイルがふつうのファイルではありません");
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

LogWriter::LogWriter(RunResult run, LogTargets targets)
    : m_run(std::move(run)), m_targets(std::move(targets))
{
}

QByteArray LogWriter::columnBytes(const RunResult& run, LogColumn column, const QDateTime& now)
{
    switch (column) {
    case LogColumn::RecordNumber:
        return integer(run.recordNumber);
    case LogColumn::Date:
        return quoted(ClockText::dateText(now.date()));
    case LogColumn::Time:
        return quoted(ClockText::timeText(now.time()));
    case LogColumn::UserId:
        return quoted(run.userId);
    case LogColumn::UserName:
        return quoted(run.userName);
    case LogColumn::ComputerName:
        return quoted(run.computerName);
    case LogColumn::LoginName:
        return quoted(run.loginName);
    case LogColumn::FileName:
        return quoted(run.fileName);
    case LogColumn::Speed:
        return real(run.charsPerMinute);
    case LogColumn::Accuracy:
        return real(run.accuracy);
    case LogColumn::Errors:
        return integer(run.errors);
    case LogColumn::AcceptedChars:
        return integer(run.acceptedChars);
    case LogColumn::TotalChars:
        return integer(run.totalChars);
    case LogColumn::KanjiOrSymbolChars:
        return integer(run.kanjiOrSymbolChars);
    case LogColumn::AlphanumericChars:
        return integer(run.alphanumericChars);
    case LogColumn::SecondsUsed:
        return integer(run.secondsUsed);
    }
    return {};
}

QByteArray LogWriter::lineOf(const RunResult& run, const QDateTime& now)
{
    QByteArray line;
    for (const LogColumn column : LogFormat::Columns) {
        if (column != LogColumn::RecordNumber)
            line += ',';
        line += columnBytes(run, column, now);
    }
    return line + crLf;
}

QByteArray LogWriter::mainLine(const QDateTime& now) const
{
    return lineOf(m_run, now);
}

bool LogWriter::write(bool alsoPassLog)
{
    m_recordWritten = false;
    m_failure.clear();
    if (!writeMainRecord())
        return false;
    m_recordWritten = true;
    return !alsoPassLog || writePassLine();
}

bool LogWriter::writeMainRecord()
{
    // A log that was there but is gone once locked was another writer's failed first record:
    // it is this writer's to create now.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString path = logFilePath(m_targets.logFolder, m_targets.logName);
        const bool existedBefore = QFileInfo::exists(path);
        if (!existedBefore) {
            m_run.recordNumber = 0;
            bool existed = false;
            if (LogFile::createWith(path, mainLine(now()), existed))
                return true;
            // Someone else created it meanwhile, or the folder does not allow the quick way:
            // fall through to the ordinary append.
        }
        auto file = LogFile::openLocked(
            path, existedBefore ? LogFile::Open::Existing : LogFile::Open::CreateIfMissing,
            m_lockTimeoutMs);
        if (file)
            return appendNumbered(*file, path, existedBefore);
        const int error = errno;
        if (!existedBefore || QFileInfo::exists(path))
            return fail(path, error);
    }
    return fail(logFilePath(m_targets.logFolder, m_targets.logName), errno);
}

bool LogWriter::fail(const QString& path, int error)
{
    m_failure = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reasonText(error);
    return false;
}

bool LogWriter::appendNumbered(LogFile& file, const QString& path, bool existedBefore)
{
    const qint64 size = file.size();
    if (size < 0)
        return fail(path, errno);
    if (!existedBefore && size == 0) {
        m_run.recordNumber = 0;
    } else {
        const auto last = LogRecordNumber::lastNumbered(file.fd(), size);
        if (last.status == LogRecordNumber::Result::ReadError)
            return fail(path, errno);
        int previous = 0;
        if (last.status == LogRecordNumber::Result::Found) {
            const auto number = NumericText::toInt16(last.value);
            if (!number)
                return fail(path, ERANGE);
            if (*number == 32767)
                return startNewLog(file, path);
            previous = *number;
        }
        m_run.recordNumber = previous + 1;
    }
    QByteArray record = mainLine(now());
    if (size > 0 && !file.endsWithCrLf(size))
        record.prepend(crLf); // a torn last line must not swallow this record
    return file.append(record) || fail(path, errno);
}

bool LogWriter::startNewLog(LogFile& file, const QString& path)
{
    m_run.recordNumber = 0;
    const QDateTime now = this->now();
    // A writer stopped between the two steps left this log under an archive's name already.
    for (const QString& archive : LogArchive::archivesOf(path)) {
        if (file.isNamed(QFile::encodeName(archive)))
            return file.moveAsideAndRestart(archive, mainLine(now)) || fail(path, errno);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (file.moveAsideAndRestart(LogArchive::archivePath(path, now, attempt), mainLine(now)))
            return true;
        if (errno != EEXIST)
            break;
    }
    return fail(path, errno);
}

bool LogWriter::writePassLineOnly()
{
    m_failure.clear();
    return writePassLine();
}

bool LogWriter::writePassLine()
{
    const QDateTime now = this->now();
    QByteArray line;
    for (const QChar code : m_targets.passLogColumns) {
        if (const auto column = LogFormat::columnOfCode(code))
            line += columnBytes(m_run, *column, now) + ',';
    }
    line += crLf;
    const QString path = logFilePath(m_targets.passLogFolder, m_targets.passLogName);
    auto file = LogFile::openLocked(path, LogFile::Open::CreateIfMissing, m_lockTimeoutMs);
    return (file && file->append(line)) || fail(path, errno);
}
