#pragma once

#include "LogWriter.h"

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
        bool kept = false;   // ... and waits here for the next write
        QString failure;     // file and reason, from the first write that failed
    };

    // Sends the waiting records, then this one; keeps what could not be written.
    Outcome write(LogWriter& writer, bool alsoPassLog);

    // Records still waiting.
    int count() const;

private:
    struct Entry;
    static std::optional<Entry> readEntry(const QString& path);
    QStringList entryFiles() const;
    bool keep(const LogWriter& writer, bool alsoPassLog, bool passLineOnly);

    QString m_folder;
};
