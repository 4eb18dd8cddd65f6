#pragma once

#include "common/Expected.h"
#include "problems/ProblemLine.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One problem: finds the problem files "jpn_dat.*" in a folder, picks one by mode, reads
// it into lines of classified characters and counts the characters per class.
class Problem
{
public:
    // How a load ended when no error stopped it; every outcome but Loaded has shown its
    // message already.
    enum LoadStatus { Loaded, NoProblemFile, NoFolder, NoCharacters };

    static constexpr qint32 MaxFiles = 32767;

    using Clock = std::function<QDateTime()>;
    using RandomSource = std::function<double(quint32 seed)>;

    Problem();

    QString fileName() const { return m_fileName; }
    // The file last read, also when reading it failed.
    QString filePath() const { return m_filePath; }
    int totalChars() const { return m_totalChars; }
    int kanaChars() const { return m_kanaChars; }
    int alphanumericChars() const { return m_alphanumericChars; }
    int halfWidthChars() const { return m_halfWidthChars; }
    int kanjiOrSymbolChars() const { return m_kanjiOrSymbolChars; }

    // Line numbers count from 1, as the checker and the log count lines.
    const ProblemLine& line(int number) const { return m_lines.at(number - 1); }
    int count() const { return int(m_lines.size()); }

    auto begin() const { return m_lines.cbegin(); }
    auto end() const { return m_lines.cend(); }

    // Loads one problem from the folder dataFolder; mode is "KENTEI", "RANDOM", "SEQUENCE"
    // or "SELECT". A status other than Loaded comes after its message. A file that cannot be
    // read whole, a count past 32767, or a SELECT name not among the files is an error,
    // shown by the caller.
    Expected<LoadStatus> loadFrom(const QString& dataFolder, const QString& previousName,
                                  const QString& mode);

    // A problem made in memory, such as a drill: name stands for the file name (the log's
    // file column). Loaded, or NoCharacters when the lines hold none.
    Expected<LoadStatus> setLines(const QString& name, const QStringList& lines);

    // Names of the problem files of the folder in ordinal order; empty when there are none
    // or the folder cannot be read, an error when there are too many.
    static Expected<QStringList> problemFiles(const QString& dataFolder);
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
    Expected<LoadStatus> fill(const QStringList& lines);
    static Expected<QStringList> findProblemFiles(const QString& folder);

    QString m_fileName;
    QString m_filePath;
    int m_totalChars = 0;
    int m_kanaChars = 0;
    int m_alphanumericChars = 0;
    int m_halfWidthChars = 0;
    int m_kanjiOrSymbolChars = 0;
    QList<ProblemLine> m_lines;
    bool m_folderRetried = false;
    Clock m_clock;
    RandomSource m_randomSource;
    FolderChooser m_folderChooser;
};
