#pragma once

#include "problems/KeyedCollection.h"
#include "problems/colReidaiLine.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// One problem: finds the problem files "jpn_dat.*" in a folder, picks one by mode, reads
// it into lines of classified characters and counts the characters per class.
class colReidai
{
public:
    // Result codes of LoadReidai.
    static constexpr qint16 Loaded = 0;
    static constexpr qint16 NoProblemFile = 1;
    static constexpr qint16 NoFolder = 2;
    static constexpr qint16 NoCharacters = 4;

    static constexpr qint32 MaxFiles = 32767;
    static constexpr int SelectFailed = 53;

    using Clock = std::function<QDateTime()>;
    using RandomSource = std::function<double(quint32 seed)>;

    colReidai();

    QString Filename() const { return m_Filename; }
    qint16 SouMozisu() const { return m_SouMozisu; }
    qint16 Kana() const { return m_Kana; }
    qint16 Eisu() const { return m_Eisu; }
    qint16 Hankaku() const { return m_Hankaku; }
    qint16 KanziKigo() const { return m_KanziKigo; }

    colReidaiLine& Item(qint32 position) { return m_lines.Item(position); }
    const colReidaiLine& Item(qint32 position) const { return m_lines.Item(position); }
    colReidaiLine& Item(const QString& key) { return m_lines.Item(key); }
    const colReidaiLine& Item(const QString& key) const { return m_lines.Item(key); }
    qint32 Count() const { return m_lines.Count(); }
    void Remove(qint32 position) { m_lines.Remove(position); }
    void Remove(const QString& key) { m_lines.Remove(key); }

    auto begin() { return m_lines.begin(); }
    auto end() { return m_lines.end(); }
    auto begin() const { return m_lines.begin(); }
    auto end() const { return m_lines.end(); }

    // Loads one problem from the folder pvDataPath; mode is "KENTEI", "RANDOM", "SEQUENCE"
    // or "SELECT". Returns one of the codes above, after showing its message. A file that
    // cannot be read whole, a count past 32767, or a SELECT name not among the files
    // raises PelkoError. The two texts are taken by reference but never changed.
    qint16 LoadReidai(const QString& pvDataPath, QString& strPrevReidai, QString& mode);
    qint16 LoadReidai(const QString& pvDataPath, const QString& strPrevReidai, const QString& mode);

    // Names of the problem files of the folder in ordinal order; empty when there are none
    // or the folder cannot be read.
    static QStringList GetReidaiList(const QString& prDataPath);
    // The first 20 characters of the file's first line; "" for an empty or unreadable file.
    static QString GetHeader(const QString& fullpath);

    // Shows the folder chooser modally; it reads and writes the shared DirPath. Without one
    // the chooser counts as cancelled.
    static void setFolderChooser(std::function<void()> chooser);

    // Stand-ins for the clock and the random generator (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setRandomSource(RandomSource source) { m_random = std::move(source); }

private:
    qint16 load(const QString& pvDataPath, const QString& strPrevReidai, const QString& mode);
    // The usable folder, or empty when none was obtained.
    QString usableFolder(const QString& pvDataPath);
    void AddLine(const QString& text, qint32 key);
    static QStringList ListReidaiFiles(const QString& folder);

    QString m_Filename;
    qint16 m_SouMozisu = 0;
    qint16 m_Kana = 0;
    qint16 m_Eisu = 0;
    qint16 m_Hankaku = 0;
    qint16 m_KanziKigo = 0;
    KeyedCollection<colReidaiLine> m_lines;
    bool m_folderRetried = false;
    Clock m_clock;
    RandomSource m_random;
};
