#pragma once

#include "common/LogFormat.h"
#include "typing/RunReview.h"

#include <QString>
#include <QStringList>

// A practice problem made from a run's misses: the problem's lines where they happened, then
// short lines repeating each missed character in its context. Held in memory only.
namespace DrillBuilder
{

// The name the drill's problem goes by, in the test window and in the log.
inline const QString DrillName = LogFormat::DrillFileName;
// How often a short line repeats its context.
inline constexpr int Repeats = 3;
// Characters of context on each side of a missed character.
inline constexpr int ContextChars = 2;

// problemLines: the problem's lines in order (line 1 first). missed: as the review lists them.
// No line twice, no empty line; empty only when nothing was missed.
QStringList build(const QStringList& problemLines, const QList<RunReview::Missed>& missed);

} // namespace DrillBuilder
