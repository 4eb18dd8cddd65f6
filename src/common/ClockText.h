#pragma once

#include <QDateTime>
#include <QString>

// Date and time as the logs and the certificate write them.
namespace ClockText {

// mm-dd-yyyy
inline QString dateText(const QDate& d) { return d.toString(QStringLiteral("MM-dd-yyyy")); }
// hh:mm:ss, 24-hour clock
inline QString timeText(const QTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

} // namespace ClockText
