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

bool ProblemLine::setText(const QString& text)
{
    if (characterCount(text) > MaxCharacters)
        return false;
    m_text = text;
    m_characters.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = characterLength(text, i);
        ProblemChar problemChar;
        problemChar.setText(text.mid(i, len));
        problemChar.setCharClass(CharClass::classOf(problemChar.text()));
        m_characters.append(problemChar);
        i += len;
    }
    return true;
}
