#include "RunReview.h"

#include "problems/CharClass.h"

#include <QHash>

#include <algorithm>

namespace RunReview
{

namespace
{

void addMisses(QList<Missed>& missed, QHash<QString, qsizetype>& index,
               const RunTrace::Place& place)
{
    if (place.misses == 0)
        return;
    auto found = index.constFind(place.expected);
    if (found == index.cend()) {
        found = index.insert(place.expected, missed.size());
        Missed entry;
        entry.expected = place.expected;
        entry.charClass = place.charClass;
        missed.append(entry);
    }
    Missed& entry = missed[found.value()];
    entry.count += place.misses;
    for (const QString& piece : place.typedInstead) {
        if (!entry.typedInstead.contains(piece))
            entry.typedInstead.append(piece);
    }
    entry.places.append({place.line, place.position});
}

qsizetype classRow(int charClass)
{
    switch (charClass) {
    case CharClass::Kana:
        return 0;
    case CharClass::KanjiOrSymbol:
        return 1;
    case CharClass::Alphanumeric:
        return 2;
    case CharClass::HalfWidth:
        return 3;
    default:
        return 4;
    }
}

} // namespace

Review review(const RunTrace& trace)
{
    Review result;
    result.byClass = {{CharClass::Kana},
                      {CharClass::KanjiOrSymbol},
                      {CharClass::Alphanumeric},
                      {CharClass::HalfWidth},
                      {0}};
    result.strokes = trace.strokes();

    QHash<QString, qsizetype> missedIndex;
    qint64 previousMs = 0;
    for (const RunTrace::Place& place : trace.accepted()) {
        addMisses(result.missed, missedIndex, place);
        Strokes& row = result.byClass[classRow(place.isLineEnd() ? 0 : place.charClass)];
        ++row.characters;
        row.strokes += place.strokes;
        // Enter follows the line's last character at once; reading the next line shows on
        // the first character after it, which is where it belongs.
        if (!place.isLineEnd()) {
            ++result.characters;
            result.slowest.append({place.expected, place.line, place.acceptedMs - previousMs});
        }
        previousMs = place.acceptedMs;
    }
    if (const RunTrace::Place* due = trace.due())
        addMisses(result.missed, missedIndex, *due);

    std::stable_sort(result.missed.begin(), result.missed.end(),
                     [](const Missed& a, const Missed& b) { return a.count > b.count; });
    if (result.missed.size() > MaxMissed)
        result.missed.resize(MaxMissed);
    std::stable_sort(result.slowest.begin(), result.slowest.end(),
                     [](const Slow& a, const Slow& b) { return a.ms > b.ms; });
    if (result.slowest.size() > MaxSlowest)
        result.slowest.resize(MaxSlowest);
    return result;
}

double ratio(qint32 strokes, qint32 characters)
{
    return characters > 0 ? double(strokes) / characters : 0.0;
}

QString className(int charClass)
{
    switch (charClass) {
    case CharClass::Kana:
        return QStringLiteral("かな");
    case CharClass::KanjiOrSymbol:
        return QStringLiteral("漢字・記号");
    case CharClass::Alphanumeric:
        return QStringLiteral("英数記号");
    case CharClass::HalfWidth:
        return QStringLiteral("半角");
    default:
        return QStringLiteral("改行");
    }
}

QString shown(const QString& character)
{
    if (character.isEmpty())
        return QStringLiteral("↵");
    if (character == QStringLiteral("　"))
        return QStringLiteral("□");
    return character;
}

} // namespace RunReview
