#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Colours are kept in the settings as literals "&H" + hex digits of a 0x00BBGGRR value
// (red in the low byte). Every conversion between them and screen colours is here.
namespace ColorLiteral {

// The 24-bit value of a literal ("&H" hex digits, or a plain decimal number); empty when the
// text is neither or is out of range.
std::optional<quint32> toBgr(QStringView literal);
// "&H" + six upper-case hex digits.
QString fromBgr(quint32 bgr);

QColor bgrToColor(quint32 bgr);
quint32 colorToBgr(const QColor& color);

// The colour a literal names, or the fallback when it names none.
QColor toColor(QStringView literal, const QColor& fallback = Qt::black);
QString fromColor(const QColor& color);

// A colour box as the settings dialog reads it: any number counts, decimal or "&H".
// Whether the text is a number from 0 to &HFFFFFF.
bool isColorNumber(QStringView text);
// The number in the text as a 32-bit colour value; 0 when it is none or does not fit.
qint32 numberValue(QStringView text);

} // namespace ColorLiteral
