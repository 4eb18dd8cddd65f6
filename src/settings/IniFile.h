#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A Windows profile file in Shift-JIS, read and written the way the Windows profile functions
// do: section and key names match ignoring case, a value is cut to what a 100-byte buffer
// holds, and writing touches only the line of the key it writes.
//
// The object is an in-memory copy: load() once, read or change as many values as needed,
// then save() once. Lines the object does not understand (comments, undecodable bytes,
// anything before the first section) are written back unchanged.
class IniFile
{
public:
    // Buffer size the values are read into; one byte goes to the terminating NUL.
    static constexpr qsizetype ValueBufferSize = 100;

    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // Reads the file. A missing file is an empty profile; a file that exists but cannot be
    // read gives false, reads as empty and refuses to be saved, so its content is never lost.
    bool load();

    // The value of the key, at most ValueBufferSize - 1 bytes of it in Shift-JIS; empty when
    // the section or key is missing.
    QString value(QStringView section, QStringView key) const;
    // The value as the file holds it, without the cut value() makes.
    QString wholeValue(QStringView section, QStringView key) const;
    // Whether the section holds the key, even with an empty value.
    bool contains(QStringView section, QStringView key) const;
    // Whether value() takes a value written with setValue() back without cutting it.
    static bool readsBackWhole(QStringView value);

    // Replaces the key's line, or adds the key at the end of its section, or adds the section
    // at the end of the file. False (nothing changed) when a name or the value cannot be
    // stored: not Shift-JIS, or a line break that would split the line.
    bool setValue(QStringView section, QStringView key, QStringView value);

    // Replaces the file atomically with the current lines. False when the file could not be
    // read at load() or the write failed; the old file then stays as it was.
    bool save();

    // The file as save() would write it.
    QByteArray bytes() const;

    // One value read from or written to a file, each a full load / save.
    static QString readString(const QString& path, QStringView section, QStringView key);
    static bool writeString(const QString& path, QStringView section, QStringView key,
                            QStringView value);

private:
    enum class Kind { Other, Section, Key };

    struct Line {
        QByteArray raw; // without its line end
        QByteArray eol; // "\r\n", "\n" or empty for an unterminated last line
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed, quotes kept
    };

    static Line parse(QByteArray raw, QByteArray eol);
    qsizetype findSection(QStringView section) const;
    // Index of the key line in the section starting at sectionLine, or -1; lastKey receives
    // the index after which a new key belongs.
    qsizetype findKey(qsizetype sectionLine, QStringView key, qsizetype* lastKey) const;
    void insertLine(qsizetype at, Line line);

    QString m_path;
    QList<Line> m_lines;
    bool m_readable = true;
};
