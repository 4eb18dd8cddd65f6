#include "DatabaseQueue.h"

#include "ResultsDatabase.h"
#include "RunRow.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{

const QString RunSuffix = QStringLiteral(".row");
const QString CertificateSuffix = QStringLiteral(".cert");
const QStringList Waiting{u'*' + RunSuffix, u'*' + CertificateSuffix};

// Written whole or not at all, named by time so that the oldest goes first.
bool write(const QString& folder, const QDateTime& when, const QUuid& id, const QString& suffix,
           const QByteArray& bytes)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(folder + u'/' + when.toString(QStringLiteral("yyyyMMddHHmmsszzz")) + u'-' +
                   id.toString(QUuid::WithoutBraces) + suffix);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Nothing when the bytes hold no row of the file's kind.
std::optional<Expected<bool>> insert(PostgresConnection& connection, const QString& name,
                                     const QByteArray& bytes)
{
    if (name.endsWith(CertificateSuffix)) {
        const auto row = CertificateRow::fromBytes(bytes);
        return row ? std::optional(ResultsDatabase::insert(connection, *row)) : std::nullopt;
    }
    const auto row = RunRow::fromBytes(bytes);
    return row ? std::optional(ResultsDatabase::insert(connection, *row)) : std::nullopt;
}

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

std::atomic_bool stopping = false;

// False when the program ends meanwhile.
bool pause(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!stopping && waited.elapsed() < ms)
        QThread::msleep(50);
    return !stopping;
}

// The program ends: rows still waiting stay for the next run, and a sender in its pause
// must not outlive what it uses.
void stopSending()
{
    stopping = true;
    // None once the application object is gone: it waited for the pool itself.
    if (QThreadPool* pool = QThreadPool::globalInstance())
        pool->waitForDone(10'000);
}

} // namespace

QString DatabaseQueue::defaultFolder()
{
    return AppPaths::appDataFolder() + QStringLiteral("/pelko/db-queue");
}

bool DatabaseQueue::add(const RunRow& row)
{
    return write(m_folder, row.loggedAt, row.id, RunSuffix, row.toBytes());
}

bool DatabaseQueue::add(const CertificateRow& row)
{
    // The run's own row has the earlier time, so it goes first.
    return write(m_folder, row.printedAt, row.runId, CertificateSuffix, row.toBytes());
}

int DatabaseQueue::count() const
{
    return int(QDir(m_folder).entryList(Waiting, QDir::Files).size());
}

DatabaseQueue::Sent DatabaseQueue::send(const PostgresConnection::Parameters& server,
                                        int timeoutSeconds, int patienceMs)
{
    QElapsedTimer clock;
    clock.start();
    Sent total;
    for (int pauseMs = 250;; pauseMs = qMin(pauseMs * 2, 8000)) {
        const Sent sent = sendOnce(server, timeoutSeconds);
        total.added += sent.added;
        total.already += sent.already;
        total.broken += sent.broken;
        total.waiting = sent.waiting;
        total.failure = sent.failure;
        total.unreachable = sent.unreachable;
        if (!sent.unreachable || clock.elapsed() + pauseMs > patienceMs || !pause(pauseMs))
            return total;
    }
}

DatabaseQueue::Sent DatabaseQueue::sendOnce(const PostgresConnection::Parameters& server,
                                            int timeoutSeconds)
{
    Sent sent;
    const QDir folder(m_folder);
    const QStringList names = folder.entryList(Waiting, QDir::Files, QDir::Name);
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
        sent.unreachable = true;
        return sent;
    }
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue; // another sender took it since the listing
        const auto added = insert(**connection, name, file.readAll());
        file.close();
        if (!added) {
            QFile::rename(file.fileName(), file.fileName() + QStringLiteral(".broken"));
            ++sent.broken;
            --sent.waiting;
            continue;
        }
        if (!*added) {
            sent.failure = added->error().message();
            sent.unreachable = !(*connection)->isOpen();
            break;
        }
        // Only now may the row go: the server has it.
        QFile::remove(file.fileName());
        --sent.waiting;
        ++(**added ? sent.added : sent.already);
    }
    return sent;
}

void DatabaseQueue::sendInBackground(const PostgresConnection::Parameters& server)
{
    static std::once_flag stopAtTheEnd;
    std::call_once(stopAtTheEnd, [] {
        if (QCoreApplication::instance())
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                             stopSending);
        std::atexit(stopSending);
    });
    const QString folder = m_folder;
    QThreadPool::globalInstance()->start([folder, server] {
        const Sent sent = DatabaseQueue(folder).send(server, 5, 60'000);
        if (sent.unreachable)
            qWarning("pelko: %d rows still wait for the results database; they go with the next "
                     "run or pelko --db-send: %s",
                     sent.waiting, qPrintable(sent.failure));
    });
}
