#pragma once

#include "problems/ProblemChar.h"

#include <QList>
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
    // False for a line of more than MaxCharacters characters, leaving the line unchanged.
    bool setText(const QString& text);

    // Positions count from 1, as the checker and the log count characters in a line.
    const ProblemChar& charAt(int position) const { return m_characters.at(position - 1); }
    int count() const { return int(m_characters.size()); }

    auto begin() const { return m_characters.cbegin(); }
    auto end() const { return m_characters.cend(); }

    // Number of characters the text splits into (surrogate pairs counted once).
    static qsizetype characterCount(QStringView text);
    // The characters the text splits into, in order.
    static QStringList characters(QStringView text);

private:
    QString m_text;
    QList<ProblemChar> m_characters;
};
