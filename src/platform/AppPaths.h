#pragma once

#include <QString>

// Where the program's own files are.
namespace AppPaths {

// The folder of the program file, or the folder named by PELKO_APPDIR (portable installs,
// tests). Never ends in "/" unless it is the root.
QString applicationFolder();

// The user's application-data folder: APPDATA when set, else XDG_DATA_HOME, else
// ~/.local/share.
QString appDataFolder();

// Installed (read-only program folder, no PELKO_APPDIR): pelko.ini is the user's own under
// $XDG_CONFIG_HOME/pelko, and the sample problems are in share/pelko. Portable: both are
// applicationFolder().
bool isInstalled();
QString settingsFolder();
QString dataFolder();

// Makes the user's settings folder when installed; false when it cannot be made or written.
bool prepareSettingsFolder();

// The administrator's pelko.ini along XDG_CONFIG_DIRS when installed; empty otherwise.
QString siteSettingsFile();

} // namespace AppPaths
