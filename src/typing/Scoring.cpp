#include "Scoring.h"

#include "common/NumericText.h"

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

float accuracy(qint16 accepted, qint16 errors)
{
    const double typed = double(errors) + double(accepted);
    return typed == 0 ? 0.0f : roundOne(double(accepted) / typed * 100.0);
}

float charsPerMinute(qint16 accepted, qint16 secondsUsed)
{
    return secondsUsed <= 0 ? 0.0f : roundOne(double(accepted) / (double(secondsUsed) / 60.0));
}

QString grade(float speed, qint16 secondsUsed)
{
    if (speed >= 80)
        return QStringLiteral("ワープロ検定１級レベル");
    if (speed >= 65)
        return QStringLiteral("ワープロ検定準１級レベル");
    if (speed >= 50)
        return QStringLiteral("ワープロ検定２級レベル");
    if (speed >= 40)
        return QStringLiteral("ワープロ検定準２級レベル");
    if (speed >= 35)
        return QStringLiteral("ワープロ検定３級レベル");
    if (speed >= 20)
        return QStringLiteral("ワープロ検定４級レベル");
    const double more = NumericText::floorOf((20.0 - double(speed)) * (double(secondsUsed) / 60.0));
    return QStringLiteral("ワープロ検定４級レベルまであと") + QString::number(qint64(more)) +
           QStringLiteral("文字です");
}

bool passes(float speed, qint16 threshold)
{
    return speed >= float(threshold);
}

qint16 secondsUsedAtFinish(qint16 durationMinutes, const QString& minutesLeft,
                           const QString& secondsLeft)
{
    const double left =
        NumericText::leadingValue(minutesLeft) * 60.0 + NumericText::leadingValue(secondsLeft);
    const double used = double(durationMinutes) * 60.0 - left;
    return qint16(std::clamp(used, 0.0, 32767.0));
}

Result score(qint16 accepted, qint16 errors, qint16 secondsUsed, qint16 threshold)
{
    Result r;
    r.accuracy = accuracy(accepted, errors);
    r.charsPerMinute = charsPerMinute(accepted, secondsUsed);
    r.grade = grade(r.charsPerMinute, secondsUsed);
    r.passed = passes(r.charsPerMinute, threshold);
    r.caption = QStringLiteral("あなたの入力速度は") +
                NumericText::singleDisplayText(r.charsPerMinute) +
                QStringLiteral("文字/分です(正打率") + NumericText::singleDisplayText(r.accuracy) +
                QStringLiteral("%)");
    if (!r.passed)
        r.caption += QStringLiteral("\r合格範囲は") + QString::number(threshold) +
                     QStringLiteral("文字／分です。次は頑張って下さいね");
    r.caption += QStringLiteral("\r＜") + r.grade + QStringLiteral("＞");
    return r;
}

} // namespace Scoring
