#pragma once

#include <QString>

// Folder and file names are matched without regard to letter case, as the settings and
// problem folders were always named on case-insensitive systems.
namespace FileSystem {

// The existing path whose components equal the given ones ignoring case (an exact match
// wins); the given path unchanged when no such path exists.
QString resolveCase(const QString& path);

// Whether the folder (after case resolution) exists and can be entered and listed.
bool canEnterFolder(const QString& path);

// Joins a folder and a name with exactly one "/" between them.
QString joinPath(const QString& folder, const QString& name);

// The folder with one "/" at its end.
QString withTrailingSlash(const QString& folder);

// Called once at start-up: a write past the file-size limit (ulimit -f) then fails like a
// full disk instead of ending the program with SIGXFSZ.
void failWritesPastSizeLimit();

} // namespace FileSystem
