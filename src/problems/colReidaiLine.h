#pragma once

#include "problems/KeyedCollection.h"
#include "problems/clsMozi.h"

#include <QString>

// One line of a problem, split into classified characters. A surrogate pair is one
// character, so Count may be less than LineData().size().
class colReidaiLine
{
public:
    // Longest line: positions are 16-bit.
    static constexpr qint32 MaxCharacters = 32767;

    QString LineData() const { return m_LineData; }
    // Raises the overflow error for a line of more than MaxCharacters characters, leaving
    // the line unchanged.
    void setLineData(const QString& text);

    clsMozi& Item(qint32 position) { return m_characters.Item(position); }
    const clsMozi& Item(qint32 position) const { return m_characters.Item(position); }
    clsMozi& Item(const QString& key) { return m_characters.Item(key); }
    const clsMozi& Item(const QString& key) const { return m_characters.Item(key); }
    void Remove(qint32 position) { m_characters.Remove(position); }
    void Remove(const QString& key) { m_characters.Remove(key); }
    qint32 Count() const { return m_characters.Count(); }

    auto begin() { return m_characters.begin(); }
    auto end() { return m_characters.end(); }
    auto begin() const { return m_characters.begin(); }
    auto end() const { return m_characters.end(); }

    // Number of characters the text splits into (surrogate pairs counted once).
    static qsizetype characterCount(QStringView text);

private:
    // key: the number of the key " n", 0 for none.
    clsMozi& AddMozi(const QString& character, qint32 key);

    QString m_LineData;
    KeyedCollection<clsMozi> m_characters;
};
