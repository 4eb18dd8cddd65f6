#pragma once

#include <QByteArrayView>
#include <QString>

#include <cerrno>
#include <memory>
#include <sys/types.h>

// A log file opened for appending and held under an exclusive fcntl record lock, so that
// several Pelko processes writing the same log take turns. A file created in a setgid,
// group-writable folder is made writable by that group.
class LogFile
{
public:
    enum class Open { Existing, CreateIfMissing };

    // Opens and locks the file, retrying the lock for up to timeoutMs. Null on any failure.
    // The file locked is the one at the path when the lock is taken: a file removed or
    // replaced while this writer waited is let go and the path opened again.
    static std::unique_ptr<LogFile> openLocked(const QString& path, Open mode, int timeoutMs);

    // Creates the file holding exactly these bytes, in one step that no other writer can
    // observe half-done. False when the file already exists or cannot be created.
    static bool createWith(const QString& path, QByteArrayView bytes, bool& existed);

    // With this file locked: gives it the archive's name and puts a new log holding
    // firstRecord at its path. An archive name that is already this file's stands as it is
    // (a writer stopped between the two steps); any other existing name fails with EEXIST.
    // False, and nothing changed, on failure.
    bool moveAsideAndRestart(const QString& archivePath, QByteArrayView firstRecord);
    // Whether path names this very file itself, not through a link.
    bool isNamed(const QByteArray& path) const;

    // Length of a log opened for reading, taken under a shared lock: writers append under the
    // exclusive lock, so every record within that length is whole. -1 when the lock or the
    // length cannot be had within timeoutMs.
    static qint64 lockedLength(int fd, int timeoutMs);

    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    int fd() const { return m_fd; }
    // Current length, -1 on failure.
    qint64 size() const;
    // Whether the file's last two bytes are CR LF (false for an empty file).
    bool endsWithCrLf(qint64 size) const;
    // Appends in one write; a failed or short write cuts the file back to its old length, and
    // removes the file when this open created it and nothing had been written to it yet.
    bool append(QByteArrayView bytes);

private:
    LogFile(int fd, const QByteArray& path, bool created)
        : m_fd(fd), m_path(path), m_created(created)
    {
    }
    bool isAtPath() const { return isNamed(m_path); }

    int m_fd = -1;
    QByteArray m_path;
    bool m_created = false;
};

// The full path of a log: the folder and name as found on disk, ignoring letter case.
QString logFilePath(const QString& folder, const QString& name);

// Opens path as open(2) does, only when the name is a regular file itself: a link there (whoever
// made it, wherever it points), a FIFO, a device or a folder fails at once, never waited on,
// with errno NotRegularFile. -1 on failure.
int openRegularFile(const QByteArray& path, int flags, mode_t mode = 0666);
inline constexpr int NotRegularFile = ELOOP;
