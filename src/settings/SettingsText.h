#pragma once

#include "SettingValues.h"

#include <QColor>
#include <QString>

#include <optional>

// Every setting's value to and from the text "pelko.ini" holds.
namespace SettingsText
{

// "1" or "SEQUENCE", "2" or "SELECT" in any case; anything else is random.
ProblemOrder toProblemOrder(const QString& text);
QString fromProblemOrder(ProblemOrder order);

// The number the text starts with; empty when it does not fit 16 bits.
std::optional<BackgroundMode> toBackgroundMode(const QString& text);
QString fromBackgroundMode(BackgroundMode mode);

// Any number the text starts with (a word reads as 0); blank text is A4.
PaperSize toPaperSize(const QString& text);
// The shortest decimal text, up to fifteen significant digits.
QString fromPaperSize(PaperSize paper);

// An "&H" literal of a 0x00BBGGRR value, or any number from 0 to &HFFFFFF; anything else
// (including "&HFFFF", which is -1) is no colour, an invalid QColor. Blank text is the fallback.
QColor toColor(const QString& text, const QColor& fallback);
// "&H" + six hex digits; no colour is "&HFFFF".
QString fromColor(const QColor& color);

QString fromFlag(bool value);

} // namespace SettingsText
