#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Which text may go into a quoted field of a log line. The logs are read back by splitting
// at every comma, so a comma or a double quote would shift the columns, a line break would
// split the record, and a character Shift-JIS cannot hold would be written as "?".
namespace LogField
{

struct Unusable {
    qsizetype index = 0; // in UTF-16 units
    QString character;   // a surrogate pair stays whole
};

// The first character of the text that a log field cannot carry; empty when it may go in.
std::optional<Unusable> firstUnusable(QStringView text);

inline bool isUsable(QStringView text)
{
    return !firstUnusable(text).has_value();
}

} // namespace LogField
