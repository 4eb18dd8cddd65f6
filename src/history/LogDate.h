#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

// The one rule for a date, in the log ("MM-dd-yyyy", as the writer puts it) and on the command
// line ("yyyy-MM-dd" or "yyyy/MM/dd"): a digit in every place, a real day of the calendar, a
// year from 1. Anything else is no date.
namespace LogDate
{

QDate fromLog(QByteArrayView text);
QDate fromArgument(const QString& text);

} // namespace LogDate
