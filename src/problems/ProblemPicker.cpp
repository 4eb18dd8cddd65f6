#include "ProblemPicker.h"

#include "common/NumericText.h"

#include <random>

namespace ProblemPicker
{

namespace
{

// Only spaces count as blank, not other white space.
bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

} // namespace

Kind kindOf(const QString& previousName, const QString& mode)
{
    const QString upper = mode.toUpper();
    const bool isSequence = upper == u"SEQUENCE";
    if (mode == u"KENTEI" || (!isSequence && upper != u"SELECT"))
        return Kind::Random;
    if (isSequence || isBlank(previousName))
        return Kind::Sequence;
    return Kind::Selection;
}

quint32 seedOf(const QDateTime& now)
{
    const QTime time = now.time();
    return quint32(time.second() + time.minute() + time.hour() + now.date().day());
}

qsizetype randomIndex(double draw, qsizetype count)
{
    if (count <= 1)
        return 0;
    const auto index = qsizetype(NumericText::roundHalfEven(draw * double(count - 1)));
    return std::clamp<qsizetype>(index, 0, count - 1);
}

qsizetype sequenceIndex(const QStringList& sorted, const QString& previousName)
{
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        if (QString::compare(sorted.at(i), previousName, Qt::CaseSensitive) > 0)
            return i;
    }
    return 0;
}

std::optional<qsizetype> selectionIndex(const QStringList& sorted, const QString& wanted)
{
    const qsizetype index = sorted.indexOf(wanted);
    if (index < 0)
        return std::nullopt;
    return index;
}

double defaultDraw(quint32 seed)
{
    std::mt19937 generator(seed);
    return double(generator()) / 4294967296.0; // 32 bits scaled below 1
}

} // namespace ProblemPicker
