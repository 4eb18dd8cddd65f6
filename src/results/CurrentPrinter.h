#pragma once

#include <QString>

// The printer certificates go to: the one chosen in the printer dialog during this run of
// the program (never saved), else the system's default.
namespace CurrentPrinter
{

QString name();
void choose(const QString& printerName);
// Back to the system's default (tests).
void reset();

} // namespace CurrentPrinter
