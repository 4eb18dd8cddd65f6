#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Appends one finished test to the main log and, when asked, to the pass log.
// A fresh writer is made for every test.
class clsLogWriter
{
public:
    clsLogWriter();

    QString UserID;
    QString UserName;
    QString PC_NAME;
    QString PC_USER;
    float InpSpeed = 0;
    float Seidaritu = 0;
    qint16 ErrCount = 0;
    qint16 UseTime = 0;
    QString Filename;
    qint16 Eisu = 0;
    qint16 KanziKigo = 0;
    qint16 InpMozisu = 0;
    qint16 SouMozisu = 0;
    qint16 LogNumber = 0;
    QString LogPath;
    QString LogName;
    QString SubLogPath;
    QString SubLogName;

    // Column codes of a pass-log line; taken from the settings when there are any.
    QString LogStyle = QStringLiteral("0123456789ABCDEF");
    // Where the date and time of a line come from.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    // How long to wait for another writer to let go of a log.
    int LockTimeoutMs = 3000;

    // 0 when everything was written, 1 when any step failed.
    qint16 LogWrite(bool pvsubwrite);

    // The values of column 0 … 15 in their log form.
    QByteArray ColumnBytes(int column, const QDateTime& now) const;

private:
    bool writeMainRecord();
    bool writePassLine();
    QByteArray mainLine(const QDateTime& now) const;
};

// Appends the block that marks a change of the pass-log columns. False on any failure.
bool AppendLogStyleChange(const QString& subLogPath, const QString& subLogName,
                          const QString& newStyle,
                          const QDateTime& now = QDateTime::currentDateTime(),
                          int lockTimeoutMs = 3000);

// The full path of a log: the folder and name as found on disk, ignoring letter case.
QString LogFilePath(const QString& folder, const QString& name);
