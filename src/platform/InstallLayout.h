#pragma once

#include <QString>

// Where settings and the sample problems are, for a portable folder or an installed
// program. Pure rules on what the caller found, so they test without touching the system.
namespace InstallLayout
{

struct Facts {
    QString appDirVariable; // PELKO_APPDIR
    QString programFolder;  // folder of the program file
    bool programFolderWritable = false;
    QString configHome; // XDG_CONFIG_HOME
    QString configDirs; // XDG_CONFIG_DIRS
    QString homeFolder;
};

struct Layout {
    bool installed = false;
    QString settingsFolder; // holds the user's pelko.ini
    QString dataFolder;     // holds DATA/ and PLACTICE/
};

// Installed: no PELKO_APPDIR, no pelko.ini or DATA/ beside the program (a class share the
// students may only read runs portable), and the program's folder is not writable or is a
// bin/ whose share/pelko holds the problems (root runs it).
Layout layoutFor(const Facts& facts);

// The first site-wide pelko/pelko.ini along the XDG config folders, or empty.
QString siteSettingsFile(const QString& configDirs);

// Makes the user's settings folder. The site's file is read beneath the user's, never
// copied: a copy would hold the administrator's later changes back. False when the folder
// cannot be made or written.
bool prepareUserSettings(const Layout& layout);

} // namespace InstallLayout
