#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Colours are kept in the settings as literals "&H" + hex digits of a 0x00BBGGRR value
// (red in the low byte). Every conversion between them and screen colours is here.
namespace ColorLiteral {

// The 24-bit value a literal names, read as any number of the program ("&H" literals of up
// to four digits are 16-bit, so "&HFFFF" is -1, which is no colour); empty unless the text is
// a number from 0 to &HFFFFFF. The one reading of a colour setting, wherever it is used.
std::optional<quint32> toBgr(QStringView literal);
// "&H" + six upper-case hex digits.
QString fromBgr(quint32 bgr);

QColor bgrToColor(quint32 bgr);
quint32 colorToBgr(const QColor& color);

// The colour a literal names, or the fallback when it names none.
QColor toColor(QStringView literal, const QColor& fallback = Qt::black);
QString fromColor(const QColor& color);

// The number in the text as a 32-bit colour value (-1 and system colours included); 0 when
// it is none or does not fit.
qint32 numberValue(QStringView text);

} // namespace ColorLiteral
