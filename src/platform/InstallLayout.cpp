#include "InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool prepareUserSettings(const Layout& layout, const QString& configDirs)
{
    if (!layout.installed)
        return true;
    if (!QDir().mkpath(layout.settingsFolder))
        return false;
    const QString userFile = layout.settingsFolder + QStringLiteral("/pelko.ini");
    if (QFileInfo::exists(userFile))
        return true;
    const QString siteFile = siteSettingsFile(configDirs);
    if (siteFile.isEmpty())
        return true;
    if (!QFile::copy(siteFile, userFile))
        return false;
    // The site file is often read-only; the user's copy must take his changes.
    return QFile::setPermissions(userFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
}

} // namespace InstallLayout
