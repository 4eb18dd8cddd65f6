#include "NumericText.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace NumericText {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

int asciiDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// A number read at text[pos...]: its value, where it ended, and whether any digit was read.
struct Parsed {
    double value = 0;
    qsizetype end = 0;
    bool anyDigit = false;
};

Parsed parseRadix(QStringView text, qsizetype pos, int radix)
{
    Parsed parsed;
    quint64 bits = 0;
    qsizetype i = pos;
    for (; i < text.size(); ++i) {
        const int digit = asciiDigit(text.at(i));
        if (digit < 0 || digit >= radix)
            break;
        bits = bits * quint64(radix) + quint64(digit);
        if (bits > 0xFFFFFFFFull)
            bits &= 0xFFFFFFFFull;
        parsed.anyDigit = true;
    }
    // Literals are 16-bit when they fit, 32-bit otherwise, with the sign of that width.
    if (bits <= 0xFFFF && (i - pos) <= 4)
        parsed.value = double(qint16(quint16(bits)));
    else
        parsed.value = double(qint32(quint32(bits)));
    parsed.end = i;
    return parsed;
}

Parsed parseDecimal(QStringView text, qsizetype pos)
{
    Parsed parsed;
    qsizetype i = pos;
    QString digits;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        digits.append(text.at(i++));
    bool mantissaDigits = false;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        digits.append(text.at(i++));
        mantissaDigits = true;
    }
    if (i < text.size() && text.at(i) == u'.') {
        digits.append(text.at(i++));
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
            digits.append(text.at(i++));
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits)
        return parsed;
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E' || text.at(i) == u'd' ||
                            text.at(i) == u'D')) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-'))
            exp.append(text.at(j++));
        const qsizetype expDigitsStart = j;
        while (j < text.size() && text.at(j) >= u'0' && text.at(j) <= u'9')
            exp.append(text.at(j++));
        if (j > expDigitsStart) {
            digits.append(exp);
            i = j;
        }
    }
    bool ok = false;
    parsed.value = digits.toDouble(&ok);
    parsed.anyDigit = ok;
    if (!ok)
        parsed.value = 0;
    parsed.end = i;
    return parsed;
}

Parsed parseAt(QStringView text, qsizetype pos)
{
    if (pos + 1 < text.size() && text.at(pos) == u'&') {
        const QChar kind = QChar(text.at(pos + 1)).toUpper();
        if (kind == u'H')
            return parseRadix(text, pos + 2, 16);
        if (kind == u'O')
            return parseRadix(text, pos + 2, 8);
    }
    return parseDecimal(text, pos);
}

} // namespace

double leadingValue(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    return parseAt(text, i).value;
}

bool isNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const Parsed parsed = parseAt(trimmed, 0);
    return parsed.anyDigit && parsed.end == trimmed.size();
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value, 0);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return qint16(rounded);
}

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(scaled);
    std::fesetround(savedMode);
    return rounded / scale;
}

float roundToTenth(double value)
{
    return float(roundHalfEven(double(float(value)), 1));
}

double floorOf(double value)
{
    return std::floor(value);
}

QString formatWhole(double value)
{
    const double rounded = roundHalfEven(value, 0);
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 0);
}

namespace {

// Seven significant digits in plain notation, without trailing zeros or point.
QString sevenDigits(float value)
{
    if (value == 0.0f || !std::isfinite(value))
        return QStringLiteral("0");
    const double wide = double(value);
    const int magnitude = int(std::floor(std::log10(std::fabs(wide))));
    const int decimals = std::max(0, 6 - magnitude);
    QString text = QString::number(roundHalfEven(wide, decimals), 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text;
}

} // namespace

QString singleLogText(float value)
{
    QString text = sevenDigits(value);
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("-0.")))
        text.remove(1, 1);
    return text;
}

QString singleDisplayText(float value) { return sevenDigits(value); }

} // namespace NumericText
