#pragma once

#include "typing/RunTrace.h"

#include <QList>
#include <QString>
#include <QStringList>

// The review of one run from its trace: the characters missed most, the slowest ones, and
// the key presses per character by class.
namespace RunReview
{

inline constexpr int MaxMissed = 10;
inline constexpr int MaxSlowest = 5;

struct Where {
    qint32 line = 0;
    qint32 position = 0;
};

struct Missed {
    QString expected; // empty where Enter was due
    int charClass = 0;
    qint32 count = 0;         // one per refused character
    QStringList typedInstead; // distinct pieces, first seen first
    QList<Where> places;      // where it was missed, in typing order
};

struct Slow {
    QString character;
    qint32 line = 0;
    qint64 ms = 0; // since the previous acceptance (or the start)
};

struct Strokes {
    int charClass = 0; // 0: the Enter at line ends
    qint32 characters = 0;
    qint32 strokes = 0;
};

struct Review {
    QList<Missed> missed;   // most misses first; ties in the order first missed
    QList<Slow> slowest;    // slowest first
    QList<Strokes> byClass; // Kana, KanjiOrSymbol, Alphanumeric, HalfWidth, line ends
    qint32 characters = 0;  // accepted characters, line ends not included
    qint32 strokes = 0;     // every key press of the run
};

Review review(const RunTrace& trace);

// Key presses per character; 0 without characters.
double ratio(qint32 strokes, qint32 characters);

// The class names as the review shows them; "改行" for the line ends.
QString className(int charClass);
// A character as the review shows it: "□" for a full-width space, "↵" for Enter.
QString shown(const QString& character);

} // namespace RunReview
