#include "FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace FileSystem {

QString resolveCase(const QString& path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    QString built = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString exact = joinPath(current, part);
        QString chosen;
        if (part == u"." || part == u".." || QFileInfo::exists(exact)) {
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
    QString f = folder;
    while (f.size() > 1 && f.endsWith(u'/'))
        f.chop(1);
    QString n = name;
    while (n.startsWith(u'/'))
        n.remove(0, 1);
    if (f == u"/")
        return f + n;
    return f + u'/' + n;
}

QString withTrailingSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace FileSystem
