#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The "drives" of the folder dialog: the root folders of the mounted volumes that can hold
// the user's files.
namespace VolumeList
{

// Roots of the mounted, ready volumes, "/" first, the rest sorted; kernel and runtime
// file systems (proc, sysfs, cgroup, ...) and single-file mounts are left out.
QStringList driveRoots();

// Whether a volume is one of those left out.
bool isPseudoVolume(const QByteArray& fileSystemType, const QString& root);

// The drive among roots that holds an absolute path (the longest matching root); empty
// for a relative path or one in no listed drive.
QString driveOf(const QString& path, const QStringList& roots);

// A path as the folder list shows it: "/" separators, no "." or "..", no trailing "/"
// except for the root itself.
QString listForm(const QString& path);

} // namespace VolumeList
