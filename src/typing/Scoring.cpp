#include "Scoring.h"

#include "common/NumericText.h"
#include "results/RunRecord.h"

#include <algorithm>

namespace Scoring
{

namespace
{

float roundOne(double value)
{
    return float(NumericText::roundHalfEven(value, 1));
}

} // namespace

float accuracy(int accepted, int errors)
{
    const double typed = double(errors) + double(accepted);
    return typed == 0 ? 0.0f : roundOne(double(accepted) / typed * 100.0);
}

float charsPerMinute(int accepted, int secondsUsed)
{
    return secondsUsed <= 0 ? 0.0f : roundOne(double(accepted) / (double(secondsUsed) / 60.0));
}

QList<GradeBand> gradeBands()
{
    return {{80, QStringLiteral("ワープロ検定１級レベル")},
            {65, QStringLiteral("ワープロ検定準１級レベル")},
            {50, QStringLiteral("ワープロ検定２級レベル")},
            {40, QStringLiteral("ワープロ検定準２級レベル")},
            {35, QStringLiteral("ワープロ検定３級レベル")},
            {20, QStringLiteral("ワープロ検定４級レベル")}};
}

QString grade(float speed, int secondsUsed)
{
    for (const GradeBand& band : gradeBands()) {
        if (speed >= band.lowestSpeed)
            return band.name;
    }
    // Whole tenths of the speed as shown: (20 - speed) × seconds / 60 in floating point can
    // land just below a whole number and lose a character.
    const qint64 tenthsShort = 200 - qRound64(double(speed) * 10.0);
    const qint64 scaled = tenthsShort * qint64(secondsUsed);
    const qint64 charsShort = scaled / 600 - (scaled % 600 < 0 ? 1 : 0);
    return QStringLiteral("ワープロ検定４級レベルまであと") + QString::number(charsShort) +
           QStringLiteral("文字です");
}

bool passes(float speed, int threshold)
{
    return speed >= float(threshold);
}

int secondsUsedAtFinish(int durationMinutes, int secondsLeft)
{
    const double used = double(durationMinutes) * 60.0 - secondsLeft;
    return int(std::clamp(used, 0.0, double(RunRecord::CountLimit)));
}

Result score(int accepted, int errors, int secondsUsed, int threshold)
{
    Result result;
    result.accuracy = accuracy(accepted, errors);
    result.charsPerMinute = charsPerMinute(accepted, secondsUsed);
    result.grade = grade(result.charsPerMinute, secondsUsed);
    result.passed = passes(result.charsPerMinute, threshold);
    result.caption = QStringLiteral("あなたの入力速度は") +
                     NumericText::singleDisplayText(result.charsPerMinute) +
                     QStringLiteral("文字/分です(正打率") +
                     NumericText::singleDisplayText(result.accuracy) + QStringLiteral("%)");
    if (!result.passed)
        result.caption += QStringLiteral("\r合格範囲は") + QString::number(threshold) +
                          QStringLiteral("文字／分です。次は頑張って下さいね");
    result.caption += QStringLiteral("\r＜") + result.grade + QStringLiteral("＞");
    return result;
}

} // namespace Scoring
