#pragma once

#include <QChar>
#include <QString>

// The sixteen columns a log line can hold: their titles, and the one-letter codes "0" … "F"
// by which the pass-log format names them.
namespace LogColumns
{

inline constexpr int Count = 16;

// Title of column `column` (0 … Count - 1).
QString title(int column);
// Code of column `column`: its number as one upper-case hexadecimal digit.
QChar code(int column);

// The file column of a drill run. Drills are short repeated lines, so their speeds are no
// match for a real run's: the ranking and best speeds leave them out.
inline const QString DrillFileName = QStringLiteral("弱点練習");

} // namespace LogColumns
