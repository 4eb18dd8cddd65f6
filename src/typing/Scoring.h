#pragma once

#include <QList>
#include <QString>

// The result of a finished run: accuracy, speed, grade band, pass, and the result caption.
namespace Scoring
{

// Correct-stroke rate in percent, one decimal, halves to even. Nothing typed at all (0 / 0)
// gives 0.
float accuracy(int accepted, int errors);

// Characters per minute, one decimal, halves to even. No time used gives 0.
float charsPerMinute(int accepted, int secondsUsed);

struct GradeBand {
    float lowestSpeed = 0; // characters per minute
    QString name;
};
// The grade bands of the scoring rules, fastest first.
QList<GradeBand> gradeBands();

// The grade band of a speed; below the lowest band, how many more characters in the same
// time would have reached it.
QString grade(float speed, int secondsUsed);

bool passes(float speed, int threshold);

// Seconds used when the user finished: the duration less the time still on the clock.
int secondsUsedAtFinish(int durationMinutes, int secondsLeft);

struct Result {
    float accuracy = 0;
    float charsPerMinute = 0;
    QString grade;
    bool passed = false;
    // Lines separated by a carriage return, as message texts are.
    QString caption;
};

Result score(int accepted, int errors, int secondsUsed, int threshold);

} // namespace Scoring
