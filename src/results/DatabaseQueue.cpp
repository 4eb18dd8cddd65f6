#include "DatabaseQueue.h"

#include "ResultsDatabase.h"
#include "RunRow.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{

const QString Suffix = QStringLiteral(".row");

// Held while one process sends the queue.
class QueueLock
{
public:
    explicit QueueLock(const QString& folder)
    {
        const QByteArray path = QFile::encodeName(folder + QStringLiteral("/.lock"));
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~QueueLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace

QString DatabaseQueue::defaultFolder()
{
    return AppPaths::appDataFolder() + QStringLiteral("/pelko/db-queue");
}

bool DatabaseQueue::add(const RunRow& row)
{
    if (!QDir().mkpath(m_folder))
        return false;
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Names sort by time, so the oldest row goes first.
    QSaveFile file(m_folder + u'/' + row.loggedAt.toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
                   u'-' + row.id.toString(QUuid::WithoutBraces) + Suffix);
    const QByteArray bytes = row.toBytes();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

int DatabaseQueue::count() const
{
    return int(QDir(m_folder).entryList({u'*' + Suffix}, QDir::Files).size());
}

DatabaseQueue::Sent DatabaseQueue::send(const PostgresConnection::Parameters& server,
                                        int timeoutSeconds)
{
    Sent sent;
    const QDir folder(m_folder);
    const QStringList names = folder.entryList({u'*' + Suffix}, QDir::Files, QDir::Name);
    sent.waiting = int(names.size());
    if (names.isEmpty())
        return sent;
    const QueueLock lock(m_folder);
    if (!lock.held()) {
        sent.failure = QStringLiteral("ほかの Pelko が送信中です。");
        return sent;
    }
    auto connection = PostgresConnection::open(server, timeoutSeconds);
    if (!connection) {
        sent.failure = connection.error().message();
        return sent;
    }
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue; // another sender took it since the listing
        const auto row = RunRow::fromBytes(file.readAll());
        file.close();
        if (!row) {
            QFile::rename(file.fileName(), file.fileName() + QStringLiteral(".broken"));
            ++sent.broken;
            --sent.waiting;
            continue;
        }
        const Expected<bool> added = ResultsDatabase::insert(**connection, *row);
        if (!added) {
            sent.failure = added.error().message();
            break;
        }
        // Only now may the row go: the server has it.
        QFile::remove(file.fileName());
        --sent.waiting;
        ++(*added ? sent.added : sent.already);
    }
    return sent;
}

void DatabaseQueue::sendInBackground(const PostgresConnection::Parameters& server)
{
    const QString folder = m_folder;
    QThreadPool::globalInstance()->start([folder, server] { DatabaseQueue(folder).send(server); });
}
