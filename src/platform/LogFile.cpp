#include "LogFile.h"

#include "FileSystem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

bool lockWholeFile(int fd, const QElapsedTimer& waited, int timeoutMs, short type = F_WRLCK)
{
    for (;;) {
        struct flock lock {
        };
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;
        if (::fcntl(fd, F_SETLK, &lock) == 0)
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return false;
        if (waited.elapsed() >= timeoutMs) {
            errno = EAGAIN; // held by another writer, whatever fcntl said
            return false;
        }
        // Short naps keep the wait bounded without spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

bool writeAll(int fd, QByteArrayView bytes)
{
    // One call: a record must never interleave with another writer's or stop half-way.
    ssize_t written;
    do {
        written = ::write(fd, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    if (written >= 0 && written != bytes.size())
        errno = ENOSPC; // a short write sets no error of its own
    return written == bytes.size();
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray("./") : path.left(slash + 1);
}

// A class folder (setgid, group-writable) passes on its group but not write permission:
// every student must be able to append to what another one created, whatever his umask.
void shareWithFolderGroup(int fd, const QByteArray& path)
{
    struct stat dir {
    };
    struct stat file {
    };
    if (::stat(folderOf(path).constData(), &dir) != 0 || !(dir.st_mode & S_ISGID) ||
        !(dir.st_mode & S_IWGRP) || ::fstat(fd, &file) != 0)
        return;
    ::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP);
}

// A new file beside path holding exactly these bytes, on disk; empty on failure.
QByteArray writeTempBeside(const QByteArray& path, QByteArrayView bytes)
{
    const QByteArray temp = folderOf(path) + ".~pelko" + QByteArray::number(::getpid()) + '-' +
                            QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const int fd = openRegularFile(temp, O_WRONLY | O_CREAT | O_EXCL);
    if (fd < 0)
        return {};
    shareWithFolderGroup(fd, path);
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (written)
        return temp;
    ::unlink(temp.constData());
    errno = error;
    return {};
}

} // namespace

std::unique_ptr<LogFile> LogFile::openLocked(const QString& path, Open mode, int timeoutMs)
{
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDWR | O_APPEND;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool created = false;
        int fd = -1;
        if (mode == Open::CreateIfMissing) {
            // O_EXCL first, to know whether a failed first write must take the file away again.
            fd = openRegularFile(native, flags | O_CREAT | O_EXCL);
            created = fd >= 0;
            if (created)
                shareWithFolderGroup(fd, native);
            if (fd < 0 && errno != EEXIST)
                return nullptr;
        }
        if (fd < 0)
            fd = openRegularFile(native, flags);
        if (fd < 0) {
            // Removed between the two opens: try again while there is time.
            if (mode == Open::CreateIfMissing && errno == ENOENT && waited.elapsed() < timeoutMs)
                continue;
            return nullptr;
        }
        std::unique_ptr<LogFile> file(new LogFile(fd, native, created));
        if (!lockWholeFile(fd, waited, timeoutMs))
            return nullptr;
        if (file->isAtPath())
            return file;
        // Its creator removed it after a failed first write (or it was replaced): a record
        // appended to it now would be lost.
        if (waited.elapsed() >= timeoutMs)
            return nullptr;
    }
}

bool LogFile::createWith(const QString& path, QByteArrayView bytes, bool& existed)
{
    existed = false;
    const QByteArray native = QFile::encodeName(path);
    const QByteArray temp = writeTempBeside(native, bytes);
    if (temp.isEmpty())
        return false;
    // link() refuses an existing name, so a new log appears already holding its record.
    const bool created = ::link(temp.constData(), native.constData()) == 0;
    const int error = errno;
    existed = !created && error == EEXIST;
    ::unlink(temp.constData());
    errno = error;
    return created;
}

bool LogFile::moveAsideAndRestart(const QString& archivePath, QByteArrayView firstRecord)
{
    const QByteArray archive = QFile::encodeName(archivePath);
    const QByteArray temp = writeTempBeside(m_path, firstRecord);
    if (temp.isEmpty())
        return false;
    // The old log keeps its name under the archive's until the new one replaces it in one
    // step: the path always names a whole log, and writers waiting for this lock see that
    // their file is no longer at the path and open it again.
    // The archive's name already on this file means a writer stopped between the two steps:
    // it stands, as a second archive would show every record twice. Told by the name, not by
    // a second link: a backup's hard link is no archive.
    const bool alreadyAside = isNamed(archive);
    bool done = false;
    if (alreadyAside) {
        done = ::rename(temp.constData(), m_path.constData()) == 0;
    } else if (::link(m_path.constData(), archive.constData()) == 0) {
        done = ::rename(temp.constData(), m_path.constData()) == 0;
        if (!done) {
            const int error = errno;
            ::unlink(archive.constData());
            errno = error;
        }
    }
    const int error = errno;
    if (!done)
        ::unlink(temp.constData());
    errno = error;
    return done;
}

qint64 LogFile::lockedLength(int fd, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    if (!lockWholeFile(fd, waited, timeoutMs, F_RDLCK))
        return -1;
    struct stat st {
    };
    const qint64 length = ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
    struct flock unlock {
    };
    unlock.l_type = F_UNLCK;
    unlock.l_whence = SEEK_SET;
    ::fcntl(fd, F_SETLK, &unlock);
    // A writer cuts a failed record back to the length it found under its lock, never below
    // this one, so the bytes up to here stay as they are after the lock is let go.
    return length;
}

LogFile::~LogFile()
{
    if (m_fd >= 0)
        ::close(m_fd); // also releases the lock
}

qint64 LogFile::size() const
{
    struct stat st {
    };
    if (::fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

bool LogFile::endsWithCrLf(qint64 size) const
{
    if (size < 2)
        return false;
    char tail[2];
    if (::pread(m_fd, tail, 2, off_t(size - 2)) != 2)
        return false;
    return tail[0] == '\r' && tail[1] == '\n';
}

bool LogFile::isNamed(const QByteArray& path) const
{
    struct stat opened {
    };
    struct stat named {
    };
    return ::fstat(m_fd, &opened) == 0 && opened.st_nlink > 0 &&
           ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

bool LogFile::append(QByteArrayView bytes)
{
    const qint64 before = size();
    if (before < 0)
        return false;
    if (writeAll(m_fd, bytes))
        return true;
    const int error = errno; // the reason shown, not the cleaning up's
    while (::ftruncate(m_fd, off_t(before)) != 0 && errno == EINTR) {
    }
    // A log that did not exist must not stay behind empty: its next record would be numbered
    // 1. Removed while still locked; a writer waiting for the lock sees the file is gone from
    // the path and opens the path again.
    if (m_created && before == 0 && isAtPath()) {
        ::unlink(m_path.constData());
        m_created = false;
    }
    errno = error;
    return false;
}

QString logFilePath(const QString& folder, const QString& name)
{
    return FileSystem::resolveCase(FileSystem::joinPath(FileSystem::resolveCase(folder), name));
}

int openRegularFile(const QByteArray& path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // ELOOP: a link at the name; ENXIO: a FIFO without a reader or a socket.
        if (errno == ELOOP || errno == EISDIR || errno == ENXIO)
            errno = NotRegularFile;
        return -1;
    }
    struct stat st {
    };
    int status = -1;
    if (::fstat(fd, &st) == 0) {
        if (!S_ISREG(st.st_mode))
            errno = NotRegularFile;
        else
            status = ::fcntl(fd, F_GETFL);
    }
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}
