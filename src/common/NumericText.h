#pragma once

#include <QString>
#include <optional>

// The numeric text rules shared by settings, logs, scoring and printing.
namespace NumericText {

// Numeric prefix of the text: leading blanks skipped, an optional sign, digits with an
// optional point and exponent, or a "&H" hexadecimal / "&O" octal literal. No number gives 0.
double leadingValue(QStringView text);

// Whether the whole text (blanks around it allowed) is a number; "&H" literals count.
bool isNumber(QStringView text);

// Nearest 16-bit integer, halves to the even neighbour; empty when out of range.
std::optional<qint16> toInt16(double value);

// Round to a number of decimals, halves to even.
double roundHalfEven(double value, int decimals = 0);

// Single-precision rounding to one decimal, as speeds and rates are held.
float roundToTenth(double value);

// Largest whole number not above the value.
double floorOf(double value);

// "###0": whole number, halves to even, no separators.
QString formatWhole(double value);

// A single-precision value as text: at most seven significant digits, no trailing zeros or
// point. The log form drops the zero before the point (".5"), the display form keeps it.
QString singleLogText(float value);
QString singleDisplayText(float value);

// Shortest decimal text of a single-precision value, as settings are written ("10.5").
inline QString singleText(float value) { return singleDisplayText(value); }

} // namespace NumericText
