#pragma once

#include "problems/KeyedCollection.h"
#include "problems/ProblemChar.h"

#include <QString>
#include <QStringList>

// One line of a problem, split into classified characters. A surrogate pair is one
// character, so count may be less than text().size().
class ProblemLine
{
public:
    // Longest line: positions are 16-bit.
    static constexpr qint32 MaxCharacters = 32767;

    QString text() const { return m_text; }
    // Raises the overflow error for a line of more than MaxCharacters characters, leaving
    // the line unchanged.
    void setText(const QString& text);

    ProblemChar& item(qint32 position) { return m_characters.item(position); }
    const ProblemChar& item(qint32 position) const { return m_characters.item(position); }
    ProblemChar& item(const QString& key) { return m_characters.item(key); }
    const ProblemChar& item(const QString& key) const { return m_characters.item(key); }
    void remove(qint32 position) { m_characters.remove(position); }
    void remove(const QString& key) { m_characters.remove(key); }
    qint32 count() const { return m_characters.count(); }

    auto begin() { return m_characters.begin(); }
    auto end() { return m_characters.end(); }
    auto begin() const { return m_characters.begin(); }
    auto end() const { return m_characters.end(); }

    // Number of characters the text splits into (surrogate pairs counted once).
    static qsizetype characterCount(QStringView text);
    // The characters the text splits into, in order.
    static QStringList characters(QStringView text);

private:
    // key: the number of the key " n", 0 for none.
    ProblemChar& appendChar(const QString& character, qint32 key);

    QString m_text;
    KeyedCollection<ProblemChar> m_characters;
};
