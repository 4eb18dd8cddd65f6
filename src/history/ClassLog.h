#pragma once

#include "common/LogFormat.h"
#include "platform/SafeOutput.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <array>
#include <limits>
#include <vector>

// The whole main log, indexed for browsing: one compact entry per record, the texts of the
// user, computer and file columns kept once per distinct value, the rest of a line split from
// a copy of the file's bytes when asked for. A copy rather than a map: a log another program
// shortens (a rotation, a cleared share, through FUSE too) would end a mapped reader with
// SIGBUS. The log itself is only read.
class ClassLog
{
public:
    // Columns whose distinct values are kept: user ID, user name, computer, login, file.
    static constexpr int FirstTextColumn = int(LogColumn::UserId);
    static constexpr int TextColumnCount = 5;
    static constexpr qint32 NoDay = std::numeric_limits<qint32>::min();

    struct Record {
        qint64 offset = 0;
        qint32 length = 0;
        qint32 day = NoDay; // Julian day of the date column
        qint32 second = -1; // of the day, from the time column; -1 when not a time
        float speed = 0;
        float accuracy = 0;
        std::array<qint32, TextColumnCount> text{}; // ids of columns 3 … 7
    };

    // NotAFile: a FIFO, device or folder. TooLarge: more than the memory its index needs.
    // Changed: the file got shorter while it was read; nothing is kept, read it again.
    enum class Status { Ok, Missing, Unreadable, Busy, NotAFile, TooLarge, Changed };
    // A line longer than this is no record the writer made.
    static constexpr qint64 MaxLineLength = 1 << 20;

    ClassLog() = default;
    ~ClassLog();
    ClassLog(const ClassLog&) = delete;
    ClassLog& operator=(const ClassLog&) = delete;

    // Reads the log at path. An empty log is Ok with no records.
    Status open(const QString& path, int lockTimeoutMs = 3000);
    // Appends the bytes of one log file, up to the length it had under a shared lock.
    static Status readFile(const QString& path, QByteArray& bytes, SafeOutput::FileId& id,
                           int lockTimeoutMs = 3000);
    // Appends the length bytes from the start of fd; Changed when the file ends before them.
    static Status readBytes(int fd, qint64 length, QByteArray& bytes);
    // Reads several logs as one, in order: the archives of a log, then the log.
    Status open(const QStringList& paths, int lockTimeoutMs = 3000);
    // Indexes lines that did not come from a file (the results database's runs).
    Status openBytes(QByteArray bytes);
    // The files read, to keep an export from writing over any of them.
    QList<SafeOutput::FileId> fileIds() const { return m_fileIds; }
    // Archives that could not be read as a log and were left out, each with why.
    struct Skipped {
        QString path;
        Status status;
    };
    const QList<Skipped>& skippedFiles() const { return m_skipped; }

    int size() const { return int(m_records.size()); }
    const Record& record(int row) const { return m_records[size_t(row)]; }
    // A field of a record without its quotes.
    QByteArrayView field(int row, int column) const;
    // All sixteen, split once.
    LogFields fields(int row) const;
    // A field as text; bytes that are not Shift-JIS show as U+FFFD. raw: the field's bytes
    // when the caller has split the line already.
    QString text(int row, int column) const;
    QString text(int row, int column, QByteArrayView raw) const;
    QDateTime when(int row) const;
    // The first and last dates of the records; null when none has a date.
    QDate earliestDate() const;
    QDate latestDate() const;

    // The kept texts: the value of an id, and its place in the sorted list of all of them.
    QString textOf(qint32 id) const { return m_texts[size_t(id)].text; }
    qint32 rankOf(qint32 id) const { return m_texts[size_t(id)].rank; }
    int textCount() const { return int(m_texts.size()); }
    // Sorted, distinct values of one text column (3 … 7).
    QStringList valuesOf(int column) const;

    // Lines that are not records: not sixteen fields (a torn line, a line of another format),
    // or a speed or rate that is not a number.
    int wrongFieldCountLines() const { return m_wrongFieldCount; }
    int notNumberLines() const { return m_notNumber; }
    // Records shown although some text in them is not Shift-JIS.
    int undecodableRecords() const { return m_undecodable; }

private:
    struct Text {
        QString text;
        qint32 rank = 0;
        bool decoded = true;
    };
    void clear();
    void index();
    void rankTexts();

    QByteArray m_bytes;
    QList<SafeOutput::FileId> m_fileIds;
    QList<Skipped> m_skipped;
    std::vector<Record> m_records;
    std::vector<Text> m_texts;
    std::vector<qint32> m_columnOfText; // which column a text id came from
    int m_wrongFieldCount = 0;
    int m_notNumber = 0;
    int m_undecodable = 0;
    qint32 m_earliestDay = NoDay;
    qint32 m_latestDay = NoDay;
};
