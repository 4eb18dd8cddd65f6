#pragma once

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <optional>

// Which problem file a load takes, from the sorted names, the previous (or wanted) name
// and the mode text.
namespace ProblemPicker
{

enum class Kind { Random, Sequence, Selection };

// "KENTEI" exactly, or anything that is neither SEQUENCE nor SELECT in upper case, is
// random; SEQUENCE, or any mode with a blank previous name, is the sequence.
Kind kindOf(const QString& previousName, const QString& mode);

// The random generator is seeded from the clock: second + minute + hour + day of month.
quint32 seedOf(const QDateTime& now);

// Index among count names for a draw in [0, 1): draw × (count − 1), halves to even.
qsizetype randomIndex(double draw, qsizetype count);

// First name ordinally greater than the previous one, wrapping to 0.
qsizetype sequenceIndex(const QStringList& sorted, const QString& previousName);

// The name equal to the wanted one; empty when it is not in the list.
std::optional<qsizetype> selectionIndex(const QStringList& sorted, const QString& wanted);

// A uniform draw in [0, 1) from a generator seeded with the given seed.
double defaultDraw(quint32 seed);

} // namespace ProblemPicker
