#pragma once

#include <QDate>
#include <QString>

// Dates as people type them: 2025-12-31, 2025/12/31, 20251231, 2025年12月31日, and the same
// through an input method (full-width digits, ー or ・ between them).
namespace DateText
{

// The date the text names; invalid when it names none. whole: the day has both its digits,
// so typing is done (2025-12-3 may still become 2025-12-31).
QDate parse(const QString& text, bool* whole = nullptr);

// How a date field shows a date.
QString format(const QDate& date);

} // namespace DateText
