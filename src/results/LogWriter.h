#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class LogFile;

// Appends one finished test to the main log and, when asked, to the pass log.
// A fresh writer is made for every test.
class LogWriter
{
public:
    QString userId;
    QString userName;
    QString computerName;
    QString loginName;
    float charsPerMinute = 0;
    float accuracy = 0;
    qint16 errors = 0;
    qint16 secondsUsed = 0;
    QString fileName;
    qint16 alphanumericChars = 0;
    qint16 kanjiOrSymbolChars = 0;
    qint16 acceptedChars = 0;
    qint16 totalChars = 0;
    qint16 recordNumber = 0;
    // Whether the main record is in the log; only then does recordNumber name a record.
    bool recordWritten = false;
    QString logFolder;
    QString logName;
    QString passLogFolder;
    QString passLogName;

    // Column codes of a pass-log line; the caller copies them from the settings.
    QString columnCodes = QStringLiteral("0123456789ABCDEF");
    // Where the date and time of a line come from.
    std::function<QDateTime()> currentTime = [] { return QDateTime::currentDateTime(); };
    // How long to wait for another writer to let go of a log.
    int lockTimeoutMs = 3000;

    // 0 when everything was written, 1 when any step failed.
    qint16 write(bool alsoPassLog);

    // The values of column 0 … 15 in their log form.
    QByteArray columnBytes(int column, const QDateTime& now) const;

private:
    bool writeMainRecord();
    bool appendNumbered(LogFile& file, bool existedBefore);
    bool writePassLine();
    QByteArray mainLine(const QDateTime& now) const;
};

// Appends the block that marks a change of the pass-log columns. False on any failure.
bool appendColumnChange(const QString& passLogFolder, const QString& passLogName,
                        const QString& newFormat,
                        const QDateTime& now = QDateTime::currentDateTime(),
                        int lockTimeoutMs = 3000);

// The full path of a log: the folder and name as found on disk, ignoring letter case.
QString logFilePath(const QString& folder, const QString& name);
