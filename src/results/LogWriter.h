#pragma once

#include "RunResult.h"
#include "common/LogFormat.h"

#include <QDateTime>
#include <QString>

#include <functional>

class LogFile;

// Where a run's lines go, and which columns the pass log takes.
struct LogTargets {
    LogTargets(QString logFolder = {}, QString logName = {}, QString passLogFolder = {},
               QString passLogName = {},
               QString passLogColumns = QStringLiteral("0123456789ABCDEF"))
        : logFolder(std::move(logFolder)), logName(std::move(logName)),
          passLogFolder(std::move(passLogFolder)), passLogName(std::move(passLogName)),
          passLogColumns(std::move(passLogColumns))
    {
    }

    QString logFolder;
    QString logName;
    QString passLogFolder;
    QString passLogName;
    // Column codes of a pass-log line, in their order.
    QString passLogColumns;
};

// Appends one finished run to the main log and, when asked, to the pass log.
// A fresh writer is made for every run.
class LogWriter
{
public:
    explicit LogWriter(RunResult run = {}, LogTargets targets = {});

    // The run; once its record is in the main log, with the number it got there.
    const RunResult& run() const { return m_run; }
    const LogTargets& targets() const { return m_targets; }

    // Where the date and time of a line come from.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    QDateTime now() const { return m_clock(); }
    // How long to wait for another writer to let go of a log.
    void setLockTimeout(int ms) { m_lockTimeoutMs = ms; }
    int lockTimeoutMs() const { return m_lockTimeoutMs; }

    // True when everything was written. A full main log (last number 32767) is moved aside to
    // a dated archive and a new one begins at 0.
    bool write(bool alsoPassLog);
    // The pass-log line of a record already in the main log as run().recordNumber.
    bool writePassLineOnly();
    // Whether the main record is in the log; only then does run().recordNumber name a record.
    bool recordWritten() const { return m_recordWritten; }
    // After a failed write: the file and the reason, for the person in front of the screen.
    const QString& failure() const { return m_failure; }

    // A column's value in its log form.
    static QByteArray columnBytes(const RunResult& run, LogColumn column, const QDateTime& now);
    // The whole main-log line of a run, CR LF included.
    static QByteArray lineOf(const RunResult& run, const QDateTime& now);

private:
    bool writeMainRecord();
    bool appendNumbered(LogFile& file, const QString& path, bool existedBefore);
    bool startNewLog(LogFile& file, const QString& path);
    bool writePassLine();
    bool fail(const QString& path, int error);
    QByteArray mainLine(const QDateTime& now) const;

    RunResult m_run;
    LogTargets m_targets;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
    int m_lockTimeoutMs = 3000;
    bool m_recordWritten = false;
    QString m_failure;
};
