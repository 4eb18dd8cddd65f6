#pragma once

#include <QString>

// The printer certificates go to: the one chosen in the printer dialog during this run of
// the program (empty when none was), else the system's default.
namespace CurrentPrinter
{

QString name(const QString& chosen);

} // namespace CurrentPrinter
