#include "ProblemPicker.h"

#include "common/NumericText.h"

#include <random>

namespace ProblemPicker
{

namespace
{

// Trims spaces only, not other white space.
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
    const bool sequence = upper == u"SEQUENCE";
    if (mode == u"KENTEI" || (!sequence && upper != u"SELECT"))
        return Kind::Random;
    if (sequence || isBlank(previousName))
        return Kind::Sequence;
    return Kind::Selection;
}

quint32 seedOf(const QDateTime& now)
{
    const QTime t = now.time();
    return quint32(t.second() + t.minute() + t.hour() + now.date().day());
}

qsizetype randomIndex(double r, qsizetype n)
{
    if (n <= 1)
        return 0;
    const auto i = qsizetype(NumericText::roundHalfEven(r * double(n - 1)));
    return std::clamp<qsizetype>(i, 0, n - 1);
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
    const qsizetype i = sorted.indexOf(wanted);
    if (i < 0)
        return std::nullopt;
    return i;
}

double defaultDraw(quint32 seed)
{
    std::mt19937 generator(seed);
    return double(generator()) / 4294967296.0; // 32 bits scaled below 1
}

} // namespace ProblemPicker
