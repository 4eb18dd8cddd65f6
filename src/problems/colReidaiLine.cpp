#include "colReidaiLine.h"

#include "problems/MoziClass.h"

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

qsizetype colReidaiLine::characterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i))
        ++count;
    return count;
}

void colReidaiLine::setLineData(const QString& text)
{
    if (characterCount(text) > MaxCharacters)
        throw PelkoError::overflow();
    m_LineData = text;
    m_characters.clear();
    qint32 position = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = characterLength(text, i);
        ++position;
        AddMozi(text.mid(i, len), position);
        i += len;
    }
}

clsMozi& colReidaiLine::AddMozi(const QString& character, qint32 key)
{
    clsMozi mozi;
    mozi.setMozi(character);
    mozi.setMcode(MoziClass::classOf(character));
    return m_characters.add(std::move(mozi), key);
}
