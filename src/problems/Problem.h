#pragma once

#include "problems/KeyedCollection.h"
#include "problems/ProblemLine.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// One problem: finds the problem files "jpn_dat.*" in a folder, picks one by mode, reads
// it into lines of classified characters and counts the characters per class.
class Problem
{
public:
    // Result codes of loadFrom.
    static constexpr qint16 Loaded = 0;
    static constexpr qint16 NoProblemFile = 1;
    static constexpr qint16 NoFolder = 2;
    static constexpr qint16 NoCharacters = 4;

    static constexpr qint32 MaxFiles = 32767;
    static constexpr int SelectFailed = 53;

    using Clock = std::function<QDateTime()>;
    using RandomSource = std::function<double(quint32 seed)>;

    Problem();

    QString fileName() const { return m_fileName; }
    // The file last read, also when reading it failed.
    QString filePath() const { return m_filePath; }
    qint16 totalChars() const { return m_totalChars; }
    qint16 kanaChars() const { return m_kanaChars; }
    qint16 alphanumericChars() const { return m_alphanumericChars; }
    qint16 halfWidthChars() const { return m_halfWidthChars; }
    qint16 kanjiOrSymbolChars() const { return m_kanjiOrSymbolChars; }

    ProblemLine& item(qint32 position) { return m_lines.item(position); }
    const ProblemLine& item(qint32 position) const { return m_lines.item(position); }
    ProblemLine& item(const QString& key) { return m_lines.item(key); }
    const ProblemLine& item(const QString& key) const { return m_lines.item(key); }
    qint32 count() const { return m_lines.count(); }
    void remove(qint32 position) { m_lines.remove(position); }
    void remove(const QString& key) { m_lines.remove(key); }

    auto begin() { return m_lines.begin(); }
    auto end() { return m_lines.end(); }
    auto begin() const { return m_lines.begin(); }
    auto end() const { return m_lines.end(); }

    // Loads one problem from the folder dataFolder; mode is "KENTEI", "RANDOM", "SEQUENCE"
    // or "SELECT". Returns one of the codes above, after showing its message. A file that
    // cannot be read whole, a count past 32767, or a SELECT name not among the files
    // raises PelkoError. The two texts are taken by reference but never changed.
    qint16 loadFrom(const QString& dataFolder, QString& previousName, QString& mode);
    qint16 loadFrom(const QString& dataFolder, const QString& previousName, const QString& mode);

    // A problem made in memory, such as a drill: name stands for the file name (the log's
    // file column). Loaded, or NoCharacters when the lines hold none.
    qint16 setLines(const QString& name, const QStringList& lines);

    // Names of the problem files of the folder in ordinal order; empty when there are none
    // or the folder cannot be read.
    static QStringList problemFiles(const QString& dataFolder);
    // The first 20 characters of the file's first line; "" for an empty or unreadable file.
    static QString fileHeader(const QString& path);

    // Shows a folder chooser modally and returns the folder picked, empty when cancelled.
    // Without one the chooser counts as cancelled.
    using FolderChooser = std::function<QString()>;
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }

    // Stand-ins for the clock and the random generator (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setRandomSource(RandomSource source) { m_randomSource = std::move(source); }

    // The folder as found on disk when it can be entered; otherwise, once per object, says
    // so and offers the chooser. Empty when no usable folder was obtained.
    QString usableFolder(const QString& dataFolder);

private:
    qint16 load(const QString& dataFolder, const QString& previousName, const QString& mode);
    void appendLine(const QString& text, qint32 key);
    qint16 fill(const QStringList& lines);
    static QStringList findProblemFiles(const QString& folder);

    QString m_fileName;
    QString m_filePath;
    qint16 m_totalChars = 0;
    qint16 m_kanaChars = 0;
    qint16 m_alphanumericChars = 0;
    qint16 m_halfWidthChars = 0;
    qint16 m_kanjiOrSymbolChars = 0;
    KeyedCollection<ProblemLine> m_lines;
    bool m_folderRetried = false;
    Clock m_clock;
    RandomSource m_randomSource;
    FolderChooser m_folderChooser;
};
