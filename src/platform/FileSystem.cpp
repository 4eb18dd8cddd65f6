#include "FileSystem.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/stat.h>

namespace FileSystem {

namespace
{

// A link counts by its own name, whatever it points at: a planted one never decides which
// spelling is taken.
bool nameExists(const QString& path)
{
    struct stat st {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace

QString resolveCase(const QString& path)
{
    if (path.isEmpty() || nameExists(path))
        return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    QString built = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString exact = joinPath(current, part);
        QString chosen;
        if (part == u"." || part == u".." || nameExists(exact)) {
            chosen = part;
        } else {
            const QStringList entries =
                QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    chosen = entry;
                    break;
                }
            }
            if (chosen.isEmpty())
                return path;
        }
        current = joinPath(current, chosen);
        built = built.isEmpty() ? chosen : joinPath(built, chosen);
    }
    if (path.endsWith(u'/') && !built.endsWith(u'/'))
        built += u'/';
    return built;
}

bool canEnterFolder(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(resolveCase(path));
    return info.isDir() && info.isExecutable() && info.isReadable();
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    QString head = folder;
    while (head.size() > 1 && head.endsWith(u'/'))
        head.chop(1);
    QString tail = name;
    while (tail.startsWith(u'/'))
        tail.remove(0, 1);
    if (head == u"/")
        return head + tail;
    return head + u'/' + tail;
}

QString withTrailingSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

void failWritesPastSizeLimit()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace FileSystem
