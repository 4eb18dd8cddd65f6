#include "LogDate.h"

namespace LogDate
{

namespace
{

int digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

QDate dateOf(QByteArrayView text, qsizetype yearAt, qsizetype monthAt, qsizetype dayAt)
{
    const int year = digits(text, yearAt, 4);
    const int month = digits(text, monthAt, 2);
    const int day = digits(text, dayAt, 2);
    if (year < 1 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day); // null when not a day of the calendar
}

} // namespace

QDate fromLog(QByteArrayView text)
{
    if (text.size() != 10 || text[2] != '-' || text[5] != '-')
        return {};
    return dateOf(text, 6, 0, 3);
}

qint32 secondOfDay(QByteArrayView text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return -1;
    const int h = digits(text, 0, 2), m = digits(text, 3, 2), s = digits(text, 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return -1;
    return h * 3600 + m * 60 + s;
}

} // namespace LogDate
