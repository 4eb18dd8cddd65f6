#include "AppPaths.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return withoutTrailingSlash(QCoreApplication::applicationDirPath());
    return withoutTrailingSlash(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

InstallLayout::Layout currentLayout()
{
    InstallLayout::Facts facts;
    facts.appDirVariable = qEnvironmentVariable("PELKO_APPDIR");
    facts.programFolder = programFolder();
    facts.programFolderWritable =
        ::access(QFile::encodeName(facts.programFolder).constData(), W_OK) == 0;
    facts.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    facts.homeFolder = QDir::homePath();
    return InstallLayout::layoutFor(facts);
}

} // namespace

namespace AppPaths {

QString applicationFolder()
{
    const QString configured = qEnvironmentVariable("PELKO_APPDIR");
    if (!configured.isEmpty())
        return withoutTrailingSlash(configured);
    return programFolder();
}

QString appDataFolder()
{
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return withoutTrailingSlash(appData);
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty())
        return withoutTrailingSlash(dataHome);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

bool isInstalled()
{
    return currentLayout().installed;
}

QString settingsFolder()
{
    return currentLayout().settingsFolder;
}

QString dataFolder()
{
    return currentLayout().dataFolder;
}

bool prepareSettingsFolder()
{
    return InstallLayout::prepareUserSettings(currentLayout());
}

QString siteSettingsFile()
{
    if (!currentLayout().installed)
        return {};
    return InstallLayout::siteSettingsFile(qEnvironmentVariable("XDG_CONFIG_DIRS"));
}

} // namespace AppPaths
