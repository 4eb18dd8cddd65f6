#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// A full main log is moved aside to a dated name in its own folder: pelko.log becomes
// pelko-20261208-152416.log (a "-2" … after the time when that name is taken).
namespace LogArchive
{

QString archivePath(const QString& logPath, const QDateTime& when, int attempt = 0);

// The archives of the log at logPath, oldest first.
QStringList archivesOf(const QString& logPath);

// The archives, then the log itself: everything the class ever wrote to it.
QStringList withArchives(const QString& logPath);

} // namespace LogArchive
