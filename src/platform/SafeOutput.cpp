#include "SafeOutput.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace SafeOutput
{

namespace
{

bool othersMayWrite(const struct stat& folder)
{
    return (folder.st_mode & (S_ISVTX | S_IWGRP | S_IWOTH)) != 0;
}

} // namespace

FileId idOf(int fd)
{
    struct stat st {
    };
    if (::fstat(fd, &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

Refusal check(const QString& path, const QList<FileId>& sources)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link {
    };
    if (::lstat(name.constData(), &link) != 0)
        return Refusal::None; // a new file; a write that cannot make it fails on its own
    if (S_ISLNK(link.st_mode) && link.st_uid != ::geteuid()) {
        struct stat folder {
        };
        const QByteArray folderName = QFile::encodeName(QFileInfo(path).absolutePath());
        if (::stat(folderName.constData(), &folder) != 0 ||
            (othersMayWrite(folder) && link.st_uid != folder.st_uid))
            return Refusal::ForeignLink;
    }
    struct stat target {
    };
    if (::stat(name.constData(), &target) != 0)
        return Refusal::None; // a link to a file not made yet
    for (const FileId& source : sources) {
        if (source.isValid() && quint64(target.st_dev) == source.device &&
            quint64(target.st_ino) == source.inode)
            return Refusal::IsSource;
    }
    if (!S_ISREG(target.st_mode))
        return Refusal::NotAFile;
    return Refusal::None;
}

QString message(Refusal refusal, const QString& path)
{
    switch (refusal) {
    case Refusal::None:
        return {};
    case Refusal::IsSource:
        return QStringLiteral("書き出し先がログファイルそのものです。別のファイルを選んでください: ") +
               path;
    case Refusal::NotAFile:
        return QStringLiteral("書き出し先がふつうのファイルではありません: ") + path;
    case Refusal::ForeignLink:
        return QStringLiteral("書き出し先はほかの利用者が作ったシンボリックリンクです: ") + path;
    }
    return {};
}

} // namespace SafeOutput
