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

float Seidaritu(qint16 accepted, qint16 errors)
{
    const double typed = double(errors) + double(accepted);
    return typed == 0 ? 0.0f : roundOne(double(accepted) / typed * 100.0);
}

float InpSpeed(qint16 accepted, qint16 useTime)
{
    return useTime <= 0 ? 0.0f : roundOne(double(accepted) / (double(useTime) / 60.0));
}

QString Grade(float speed, qint16 useTime)
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
    const double more = NumericText::Int((20.0 - double(speed)) * (double(useTime) / 60.0));
    return QStringLiteral("ワープロ検定４級レベルまであと") + QString::number(qint64(more)) +
           QStringLiteral("文字です");
}

bool Passed(float speed, qint16 threshold)
{
    return speed >= float(threshold);
}

qint16 UseTimeAtFinish(qint16 lastTimeMinutes, const QString& minutesLeft,
                       const QString& secondsLeft)
{
    const double left = NumericText::Val(minutesLeft) * 60.0 + NumericText::Val(secondsLeft);
    const double used = double(lastTimeMinutes) * 60.0 - left;
    return qint16(std::clamp(used, 0.0, 32767.0));
}

Result Score(qint16 accepted, qint16 errors, qint16 useTime, qint16 threshold)
{
    Result r;
    r.Seidaritu = Seidaritu(accepted, errors);
    r.InpSpeed = InpSpeed(accepted, useTime);
    r.grade = Grade(r.InpSpeed, useTime);
    r.passed = Passed(r.InpSpeed, threshold);
    r.caption = QStringLiteral("あなたの入力速度は") + NumericText::singleDisplayText(r.InpSpeed) +
                QStringLiteral("文字/分です(正打率") + NumericText::singleDisplayText(r.Seidaritu) +
                QStringLiteral("%)");
    if (!r.passed)
        r.caption += QStringLiteral("\r合格範囲は") + QString::number(threshold) +
                     QStringLiteral("文字／分です。次は頑張って下さいね");
    r.caption += QStringLiteral("\r＜") + r.grade + QStringLiteral("＞");
    return r;
}

} // namespace Scoring
