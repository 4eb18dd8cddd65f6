#pragma once

#include "common/LogFormat.h"
#include "results/RunResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// A finished run as the results database keeps it: the log line's columns and what the log
// cannot hold. Its id makes every send after the first a no-op, so a row arrives once. A run
// in the main log takes its id from its line there, so the queue and an import of the log
// name it alike.
struct RunRow {
    enum class Kind { Practice, Certification, Imported };

    QUuid id;
    RunResult run;
    // Whether the main log took the run: only then is run.recordNumber its number there.
    bool inLog = false;
    QDateTime loggedAt;
    Kind kind = Kind::Practice;
    int passSpeed = 0;
    QString grade;
    QString inputMethod;
    QString site;
    // Only a line brought in from an old log: which file and line.
    QString source;

    static QString kindName(Kind kind);

    // The id of the run a main-log line records, from its sixteen fields without quotes.
    static QUuid idOfLine(const LogFields& fields);
    // The same from a whole line as written, line end included; nothing when the line does
    // not split into sixteen fields (no import takes it).
    static std::optional<QUuid> idOfLine(QByteArrayView line);

    // The queue's file content, and back; nothing from bytes that are not a whole row.
    QByteArray toBytes() const;
    static std::optional<RunRow> fromBytes(const QByteArray& bytes);

    // The parameters of the INSERT, in the order of ResultsDatabase's columns.
    QStringList parameters() const;
};

// A certificate printed for a run: its check code, so that a sheet leads to its run.
struct CertificateRow {
    QUuid runId;
    QString checkCode;
    QDateTime printedAt;

    QByteArray toBytes() const;
    static std::optional<CertificateRow> fromBytes(const QByteArray& bytes);
};
