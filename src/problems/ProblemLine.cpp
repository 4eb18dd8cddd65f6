#include "ProblemLine.h"

#include "problems/CharClass.h"

namespace
{

qsizetype characterLength(QStringView text, qsizetype at)
{
    return (text.at(at).isHighSurrogate() && at + 1 < text.size() &&
            text.at(at + 1).isLowSurrogate())
               ? 2
               : 1;
}

} // namespace

qsizetype ProblemLine::characterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i))
        ++count;
    return count;
}

QStringList ProblemLine::characters(QStringView text)
{
    QStringList result;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = characterLength(text, i);
        result.append(text.mid(i, length).toString());
        i += length;
    }
    return result;
}

void ProblemLine::setText(const QString& text)
{
    if (characterCount(text) > MaxCharacters)
        throw PelkoError::overflow();
    m_text = text;
    m_characters.clear();
    qint32 position = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = characterLength(text, i);
        ++position;
        appendChar(text.mid(i, len), position);
        i += len;
    }
}

ProblemChar& ProblemLine::appendChar(const QString& character, qint32 key)
{
    ProblemChar problemChar;
    problemChar.setText(character);
    problemChar.setCharClass(CharClass::classOf(character));
    return m_characters.add(std::move(problemChar), key);
}
