#pragma once

#include "LogWriter.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Records that could not reach their log wait here, one file each, written in one step so a
// crash leaves a record whole or absent. The next write sends them first, in order: a record
// never overtakes an older one bound for the same log.
class PendingRecords
{
public:
    // "pelko/pending" in the user's application-data folder.
    static QString defaultFolder();

    explicit PendingRecords(QString folder) : m_folder(std::move(folder)) {}

    struct Outcome {
        bool failed = false; // the record is not (wholly) in its logs
        QString keptAs;      // ... and waits here under this name (empty: not kept)
        QString failure;     // file and reason, from the first write that failed
        bool kept() const { return !keptAs.isEmpty(); }
    };

    // Sends the waiting records, then this one; keeps what could not be written.
    Outcome write(LogWriter& writer, bool alsoPassLog);

    // Sends the waiting records, in order, at once (the user wants the record's number, to
    // print it): the number the record kept as keptAs got in the log, if it is in now.
    std::optional<int> sendNow(const QString& keptAs);

    // Records still waiting.
    int count() const;

private:
    struct Entry;
    static std::optional<Entry> readEntry(const QString& path);
    QStringList entryFiles() const;
    // The name the record waits under; empty when it could not be kept.
    QString keep(const LogWriter& writer, bool alsoPassLog, bool passLineOnly);
    // Why the records of each file that could not be written still wait.
    QHash<QString, QString> sendWaiting(int lockTimeoutMs, QHash<QString, int>* sentNumbers);

    QString m_folder;
};
