#include "ColorLiteral.h"

#include "common/NumericText.h"

#include <cmath>

namespace ColorLiteral {

std::optional<quint32> toBgr(QStringView literal)
{
    const QStringView trimmed = literal.trimmed();
    // The settings dialog also accepts a colour written as a plain number.
    if (!trimmed.startsWith(u'&') && isColorNumber(trimmed))
        return quint32(numberValue(trimmed));
    if (trimmed.size() < 3 || trimmed.at(0) != u'&' ||
        (trimmed.at(1) != u'H' && trimmed.at(1) != u'h'))
        return std::nullopt;
    const QStringView digits = trimmed.mid(2);
    if (digits.size() > 8)
        return std::nullopt;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    if (!ok || value > 0xFFFFFFu)
        return std::nullopt;
    return quint32(value);
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

bool isColorNumber(QStringView text)
{
    if (!NumericText::isNumber(text))
        return false;
    const double value = NumericText::leadingValue(text);
    return value >= 0 && value <= 0xFFFFFF;
}

qint32 numberValue(QStringView text)
{
    const double value = NumericText::leadingValue(text);
    if (!std::isfinite(value) || value < -2147483648.0 || value > 2147483647.0)
        return 0;
    return qint32(NumericText::roundHalfEven(value));
}

} // namespace ColorLiteral
