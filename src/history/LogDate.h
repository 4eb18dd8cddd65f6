#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

// The one rule for a date in the log ("MM-dd-yyyy", as the writer puts it): a digit in every
// place, a real day of the calendar, a year from 1. Anything else is no date. Dates people
// type (the command line, the browser's fields) are read by DateText.
namespace LogDate
{

QDate fromLog(QByteArrayView text);
// The second of the day a log's time ("HH:mm:ss") names; -1 for anything else.
qint32 secondOfDay(QByteArrayView text);

} // namespace LogDate
