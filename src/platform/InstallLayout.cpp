#include "InstallLayout.h"

#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace
{

QString clean(const QString& folder)
{
    return QDir::cleanPath(folder);
}

QString sharedFolderOf(const QString& programFolder)
{
    return clean(programFolder + QStringLiteral("/../share/pelko"));
}

bool looksInstalled(const InstallLayout::Facts& facts)
{
    for (const char16_t* own : {u"/pelko.ini", u"/DATA"}) {
        if (QFileInfo::exists(
                FileSystem::resolveCase(facts.programFolder + QString::fromUtf16(own))))
            return false;
    }
    if (!facts.programFolderWritable)
        return true;
    return QFileInfo(facts.programFolder).fileName() == u"bin" &&
           !QFileInfo::exists(facts.programFolder + QStringLiteral("/DATA")) &&
           QFileInfo(sharedFolderOf(facts.programFolder) + QStringLiteral("/DATA")).isDir();
}

} // namespace

namespace InstallLayout
{

Layout layoutFor(const Facts& facts)
{
    if (!facts.appDirVariable.isEmpty()) {
        QString folder = facts.appDirVariable;
        while (folder.size() > 1 && folder.endsWith(u'/'))
            folder.chop(1);
        return {false, folder, folder};
    }
    if (!looksInstalled(facts))
        return {false, facts.programFolder, facts.programFolder};

    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const QString configHome = QDir::isAbsolutePath(facts.configHome)
                                   ? facts.configHome
                                   : facts.homeFolder + QStringLiteral("/.config");
    return {true, clean(configHome + QStringLiteral("/pelko")),
            sharedFolderOf(facts.programFolder)};
}

QString siteSettingsFile(const QString& configDirs)
{
    const QString dirs = configDirs.isEmpty() ? QStringLiteral("/etc/xdg") : configDirs;
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(dir))
            continue;
        const QString candidate = clean(dir + QStringLiteral("/pelko/pelko.ini"));
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

bool prepareUserSettings(const Layout& layout)
{
    if (!layout.installed)
        return true;
    return QDir().mkpath(layout.settingsFolder) &&
           ::access(QFile::encodeName(layout.settingsFolder).constData(), W_OK) == 0;
}

} // namespace InstallLayout
