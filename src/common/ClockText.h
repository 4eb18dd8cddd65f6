#pragma once

#include <QDateTime>
#include <QString>

// Date and time as the logs and the certificate write them.
namespace ClockText {

// mm-dd-yyyy
inline QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}
// hh:mm:ss, 24-hour clock
inline QString timeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace ClockText
