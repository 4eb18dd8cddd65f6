#include "PendingRecords.h"

#include "platform/AppPaths.h"
#include "platform/LogFile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <unistd.h>

namespace
{

constexpr quint8 FormatVersion = 1;

} // namespace

struct PendingRecords::Entry {
    LogWriter writer;
    bool alsoPassLog = false;
    bool passLineOnly = false; // the main record is in and numbered already

    // Records for the same file keep their order; other files do not wait for this one.
    QString target() const
    {
        const LogTargets& t = writer.targets();
        return passLineOnly ? logFilePath(t.passLogFolder, t.passLogName)
                            : logFilePath(t.logFolder, t.logName);
    }
};

namespace
{

QByteArray serialized(const LogWriter& w, const QDateTime& when, bool alsoPassLog,
                      bool passLineOnly)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    const RunResult& r = w.run();
    const LogTargets& t = w.targets();
    out << FormatVersion << when << alsoPassLog << passLineOnly << r.recordNumber << r.userId
        << r.userName << r.computerName << r.loginName << r.fileName << r.charsPerMinute
        << r.accuracy << r.errors << r.secondsUsed << r.alphanumericChars << r.kanjiOrSymbolChars
        << r.acceptedChars << r.totalChars << t.logFolder << t.logName << t.passLogFolder
        << t.passLogName << t.passLogColumns;
    return bytes;
}

bool saveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString PendingRecords::defaultFolder()
{
    return AppPaths::appDataFolder() + QStringLiteral("/pelko/pending");
}

QStringList PendingRecords::entryFiles() const
{
    const QDir folder(m_folder);
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("*.rec")}, QDir::Files, QDir::Name))
        files.append(folder.filePath(name));
    return files;
}

int PendingRecords::count() const
{
    return int(entryFiles().size());
}

QString PendingRecords::keep(const LogWriter& writer, bool alsoPassLog, bool passLineOnly)
{
    if (!QDir().mkpath(m_folder))
        return {};
    // The student's own results: nobody else's to read.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Names sort in the order the records were kept.
    static int counter = 0;
    const QString path = m_folder + u'/' +
                         QStringLiteral("%1-%2-%3.rec")
                             .arg(QDateTime::currentMSecsSinceEpoch(), 15, 10, QChar(u'0'))
                             .arg(++counter, 6, 10, QChar(u'0'))
                             .arg(::getpid());
    return saveWhole(path, serialized(writer, writer.now(), alsoPassLog, passLineOnly)) ? path
                                                                                        : QString();
}

QHash<QString, QString> PendingRecords::sendWaiting(int lockTimeoutMs,
                                                    QHash<QString, int>* sentNumbers)
{
    // Two sessions of one user (a shared home) must not send the same record twice.
    const QStringList waiting = entryFiles();
    if (waiting.isEmpty())
        return {};
    const auto lock = LogFile::openLocked(m_folder + QStringLiteral("/.lock"),
                                          LogFile::Open::CreateIfMissing, lockTimeoutMs);
    if (!lock)
        return {}; // the other session is sending them

    QHash<QString, QString> blocked; // target → why its records wait
    for (const QString& file : waiting) {
        auto entry = readEntry(file);
        if (!entry) {
            // Unreadable: set aside rather than block every later record.
            QFile::rename(file, file + QStringLiteral(".bad"));
            continue;
        }
        const QString target = entry->target();
        if (blocked.contains(target))
            continue;
        LogWriter& w = entry->writer;
        const bool sent = entry->passLineOnly ? w.writePassLineOnly() : w.write(entry->alsoPassLog);
        if (!entry->passLineOnly && w.recordWritten() && sentNumbers)
            sentNumbers->insert(file, w.run().recordNumber);
        if (sent) {
            QFile::remove(file);
        } else if (!entry->passLineOnly && w.recordWritten()) {
            // Its main record is in: only the pass line may still wait, or it would be
            // numbered twice.
            saveWhole(file, serialized(w, w.now(), true, true));
            blocked.insert(logFilePath(w.targets().passLogFolder, w.targets().passLogName),
                           w.failure());
        } else {
            blocked.insert(target, w.failure());
        }
    }
    return blocked;
}

PendingRecords::Outcome PendingRecords::write(LogWriter& writer, bool alsoPassLog)
{
    const QHash<QString, QString> blocked = sendWaiting(writer.lockTimeoutMs(), nullptr);
    Outcome outcome;
    const QString target = logFilePath(writer.targets().logFolder, writer.targets().logName);
    if (blocked.contains(target)) {
        outcome.failed = true;
        outcome.failure = blocked.value(target);
        outcome.keptAs = keep(writer, alsoPassLog, false);
        return outcome;
    }
    if (writer.write(alsoPassLog))
        return outcome;
    outcome.failed = true;
    outcome.failure = writer.failure();
    outcome.keptAs = keep(writer, alsoPassLog, writer.recordWritten());
    return outcome;
}

std::optional<int> PendingRecords::sendNow(const QString& keptAs)
{
    QHash<QString, int> numbers;
    sendWaiting(3000, &numbers);
    if (!numbers.contains(keptAs))
        return std::nullopt;
    return numbers.value(keptAs);
}

std::optional<PendingRecords::Entry> PendingRecords::readEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    quint8 version = 0;
    in >> version;
    if (version != FormatVersion)
        return std::nullopt;
    PendingRecords::Entry e;
    RunResult r;
    LogTargets t;
    QDateTime when;
    in >> when >> e.alsoPassLog >> e.passLineOnly >> r.recordNumber >> r.userId >> r.userName >>
        r.computerName >> r.loginName >> r.fileName >> r.charsPerMinute >> r.accuracy >> r.errors >>
        r.secondsUsed >> r.alphanumericChars >> r.kanjiOrSymbolChars >> r.acceptedChars >>
        r.totalChars >> t.logFolder >> t.logName >> t.passLogFolder >> t.passLogName >>
        t.passLogColumns;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    e.writer = LogWriter(std::move(r), std::move(t));
    e.writer.setClock([when] { return when; });
    return e;
}
