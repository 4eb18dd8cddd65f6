#pragma once

#include <QList>
#include <QString>

#include <QtGlobal>

// Where a file the program makes may go. Never over the file it was made from (whatever the
// spelling or link), never over a device, FIFO or folder, and never through a symbolic link
// that someone else made in a folder others can write to (as fs.protected_symlinks does for
// sticky folders): in a shared folder a student's link could aim the write at a teacher's file.
namespace SafeOutput
{

struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    bool isValid() const { return device != 0 || inode != 0; }
};

// The file open on fd; invalid when fstat fails.
FileId idOf(int fd);

enum class Refusal { None, IsSource, NotAFile, ForeignLink };

// Whether path may be written; sources are the files the output is made from.
Refusal check(const QString& path, const QList<FileId>& sources);

// A message that names the path; empty for Refusal::None.
QString message(Refusal refusal, const QString& path);

} // namespace SafeOutput
