#pragma once

#include <QChar>
#include <QString>

// The sixteen columns a log line can hold: their titles, and the one-letter codes "0" … "F"
// by which the pass-log format names them.
namespace LogColumns
{

inline constexpr int Count = 16;

// Title of column i (0 … Count - 1).
QString title(int i);
// Code of column i: its number as one upper-case hexadecimal digit.
QChar code(int i);

} // namespace LogColumns
