#include "LogArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace
{

struct NameParts {
    QString folder;
    QString base;
    QString suffix; // with its dot, or empty
};

NameParts partsOf(const QString& logPath)
{
    const QFileInfo info(logPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return {info.path(), name, QString()};
    return {info.path(), name.left(dot), name.mid(dot)};
}

} // namespace

namespace LogArchive
{

QString archivePath(const QString& logPath, const QDateTime& when, int attempt)
{
    const NameParts parts = partsOf(logPath);
    QString name = parts.base + u'-' + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (attempt > 0)
        name += u'-' + QString::number(attempt + 1);
    return parts.folder + u'/' + name + parts.suffix;
}

QStringList archivesOf(const QString& logPath)
{
    const NameParts parts = partsOf(logPath);
    const QRegularExpression pattern(
        QStringLiteral("^%1-(\\d{8}-\\d{6})(?:-(\\d+))?%2$")
            .arg(QRegularExpression::escape(parts.base), QRegularExpression::escape(parts.suffix)),
        QRegularExpression::CaseInsensitiveOption);
    struct Found {
        QString stamp;
        int attempt;
        QString path;
    };
    std::vector<Found> found;
    const QDir folder(parts.folder);
    for (const QString& name : folder.entryList(QDir::Files)) {
        const auto match = pattern.match(name);
        if (match.hasMatch())
            found.push_back({match.captured(1), match.captured(2).toInt(), folder.filePath(name)});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.attempt < b.attempt;
    });
    QStringList paths;
    for (const Found& f : found)
        paths.append(f.path);
    return paths;
}

QStringList withArchives(const QString& logPath)
{
    return archivesOf(logPath) << logPath;
}

} // namespace LogArchive
