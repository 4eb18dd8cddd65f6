#include "SettingsText.h"

#include "ColorLiteral.h"
#include "common/NumericText.h"

#include <cmath>

namespace SettingsText
{

namespace
{

bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

// A number as its shortest decimal text, up to fifteen significant digits.
QString decimalText(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15).toUpper();
}

} // namespace

ProblemOrder toProblemOrder(const QString& text)
{
    const QString upper = text.toUpper();
    if (text == u"1" || upper == u"SEQUENCE")
        return ProblemOrder::Sequence;
    if (text == u"2" || upper == u"SELECT")
        return ProblemOrder::Select;
    return ProblemOrder::Random;
}

QString fromProblemOrder(ProblemOrder order)
{
    switch (order) {
    case ProblemOrder::Sequence:
        return QStringLiteral("SEQUENCE");
    case ProblemOrder::Select:
        return QStringLiteral("SELECT");
    case ProblemOrder::Random:
        break;
    }
    return QStringLiteral("RANDOM");
}

std::optional<BackgroundMode> toBackgroundMode(const QString& text)
{
    const auto mode = NumericText::toInt16(NumericText::leadingValue(text));
    if (!mode)
        return std::nullopt;
    return BackgroundMode(*mode);
}

QString fromBackgroundMode(BackgroundMode mode)
{
    return QString::number(qToUnderlying(mode));
}

PaperSize toPaperSize(const QString& text)
{
    if (isBlank(text))
        return SettingDefaults::Paper;
    return PaperSize::fromCode(NumericText::leadingValue(text));
}

QString fromPaperSize(PaperSize paper)
{
    return decimalText(paper.code());
}

QColor toColor(const QString& text, const QColor& fallback)
{
    if (isBlank(text))
        return fallback;
    return ColorLiteral::toColor(text, QColor());
}

QString fromColor(const QColor& color)
{
    return color.isValid() ? ColorLiteral::fromColor(color) : QStringLiteral("&HFFFF");
}

QString fromFlag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace SettingsText
