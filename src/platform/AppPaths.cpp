#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

namespace AppPaths {

QString applicationFolder()
{
    const QString configured = qEnvironmentVariable("PELKO_APPDIR");
    if (!configured.isEmpty())
        return withoutTrailingSlash(configured);
    if (QCoreApplication::instance())
        return withoutTrailingSlash(QCoreApplication::applicationDirPath());
    return withoutTrailingSlash(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
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

} // namespace AppPaths
