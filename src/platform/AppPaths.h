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

} // namespace AppPaths
