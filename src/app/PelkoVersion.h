#pragma once

#include <QString>

// The program's version as "major.minor.revision".
inline QString versionText()
{
    return QString::number(PELKO_VERSION_MAJOR) + u'.' + QString::number(PELKO_VERSION_MINOR) +
           u'.' + QString::number(PELKO_VERSION_PATCH);
}
