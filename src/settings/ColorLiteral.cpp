#include "ColorLiteral.h"

#include "common/NumericText.h"

#include <cmath>

namespace ColorLiteral {

std::optional<quint32> toBgr(QStringView literal)
{
    const QStringView trimmed = literal.trimmed();
    if (!NumericText::isNumber(trimmed))
        return std::nullopt;
    const double value = NumericText::leadingValue(trimmed);
    if (!(value >= 0 && value <= 0xFFFFFF))
        return std::nullopt;
    return quint32(NumericText::roundHalfEven(value));
}

QString fromBgr(quint32 bgr)
{
    return QStringLiteral("&H") +
           QString::number(bgr & 0xFFFFFFu, 16).toUpper().rightJustified(6, u'0');
}

QColor bgrToColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 colorToBgr(const QColor& color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

QColor toColor(QStringView literal, const QColor& fallback)
{
    const auto bgr = toBgr(literal);
    return bgr ? bgrToColor(*bgr) : fallback;
}

QString fromColor(const QColor& color) { return fromBgr(colorToBgr(color)); }

qint32 numberValue(QStringView text)
{
    const double value = NumericText::leadingValue(text);
    if (!std::isfinite(value) || value < -2147483648.0 || value > 2147483647.0)
        return 0;
    return qint32(NumericText::roundHalfEven(value));
}

} // namespace ColorLiteral
