#include "VolumeList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace VolumeList
{

bool isPseudoVolume(const QByteArray& fileSystemType, const QString& root)
{
    static const char* const types[] = {
        "proc",       "sysfs",      "devtmpfs", "devpts",    "cgroup",          "cgroup2",
        "mqueue",     "securityfs", "debugfs",  "tracefs",   "pstore",          "bpf",
        "autofs",     "configfs",   "fusectl",  "hugetlbfs", "binfmt_misc",     "efivarfs",
        "rpc_pipefs", "nsfs",       "ramfs",    "squashfs",  "fuse.gvfsd-fuse", "fuse.portal"};
    for (const char* type : types) {
        if (fileSystemType == type)
            return true;
    }
    static const char16_t* const places[] = {u"/proc", u"/sys",  u"/dev",
                                             u"/run",  u"/snap", u"/boot/efi"};
    for (const char16_t* place : places) {
        const QString placeRoot = QString::fromUtf16(place);
        if (root == placeRoot || root.startsWith(placeRoot + u'/')) {
            // Removable media are mounted under /run/media by desktop systems.
            if (root.startsWith(QStringLiteral("/run/media/")))
                return false;
            return true;
        }
    }
    return false;
}

QStringList driveRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = listForm(volume.rootPath());
        if (roots.contains(root) || isPseudoVolume(volume.fileSystemType(), root))
            continue;
        if (!QFileInfo(root).isDir())
            continue;
        roots.append(root);
    }
    std::sort(roots.begin() + 1, roots.end());
    return roots;
}

QString driveOf(const QString& path, const QStringList& roots)
{
    if (!path.startsWith(u'/'))
        return {};
    const QString clean = listForm(path);
    QString best;
    for (const QString& root : roots) {
        const bool holds = root == u"/" || clean == root || clean.startsWith(root + u'/');
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

QString listForm(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(path);
}

} // namespace VolumeList
