#include "NumericText.h"

#include "PelkoError.h"

#include <cfenv>
#include <cmath>
#include <limits>

PelkoError PelkoError::overflow()
{
    return PelkoError(Overflow, QStringLiteral("オーバーフローしました。"));
}

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

// Parses a number at text[pos...]; returns the value and the end position.
struct Parsed {
    double value = 0;
    qsizetype end = 0;
    bool any = false;
};

Parsed parseRadix(QStringView text, qsizetype pos, int radix)
{
    Parsed p;
    quint64 acc = 0;
    qsizetype i = pos;
    for (; i < text.size(); ++i) {
        const int d = asciiDigit(text.at(i));
        if (d < 0 || d >= radix)
            break;
        acc = acc * quint64(radix) + quint64(d);
        if (acc > 0xFFFFFFFFull)
            acc &= 0xFFFFFFFFull;
        p.any = true;
    }
    // Literals are 16-bit when they fit, 32-bit otherwise, with the sign of that width.
    if (acc <= 0xFFFF && (i - pos) <= 4)
        p.value = double(qint16(quint16(acc)));
    else
        p.value = double(qint32(quint32(acc)));
    p.end = i;
    return p;
}

Parsed parseDecimal(QStringView text, qsizetype pos)
{
    Parsed p;
    qsizetype i = pos;
    QString digits;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        digits.append(text.at(i++));
    bool mantissa = false;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        digits.append(text.at(i++));
        mantissa = true;
    }
    if (i < text.size() && text.at(i) == u'.') {
        digits.append(text.at(i++));
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
            digits.append(text.at(i++));
            mantissa = true;
        }
    }
    if (!mantissa)
        return p;
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
    p.value = digits.toDouble(&ok);
    p.any = ok;
    if (!ok)
        p.value = 0;
    p.end = i;
    return p;
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
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    const Parsed p = parseAt(t, 0);
    return p.any && p.end == t.size();
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value, 0);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return qint16(r);
}

qint16 checkedInt16(double value)
{
    const auto v = toInt16(value);
    if (!v)
        throw PelkoError::overflow();
    return *v;
}

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(scaled);
    std::fesetround(saved);
    return r / scale;
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
    const double r = roundHalfEven(value, 0);
    return QString::number(r == 0 ? 0.0 : r, 'f', 0);
}

namespace {

// Seven significant digits in plain notation, without trailing zeros or point.
QString sevenDigits(float value)
{
    if (value == 0.0f || !std::isfinite(value))
        return QStringLiteral("0");
    const double v = double(value);
    const int magnitude = int(std::floor(std::log10(std::fabs(v))));
    const int decimals = std::max(0, 6 - magnitude);
    QString s = QString::number(roundHalfEven(v, decimals), 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s == QStringLiteral("-0"))
        s = QStringLiteral("0");
    return s;
}

} // namespace

QString singleLogText(float value)
{
    QString s = sevenDigits(value);
    if (s.startsWith(QStringLiteral("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QStringLiteral("-0.")))
        s.remove(1, 1);
    return s;
}

QString singleDisplayText(float value) { return sevenDigits(value); }

} // namespace NumericText
