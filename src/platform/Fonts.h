#pragma once

#include <QFont>

// The fonts the windows name, with the fonts that stand in for them where they are not
// installed: IPAGothic is fixed pitch with full width = 2 × half width, like the named one.
namespace Fonts {

// "ＭＳ ゴシック": problem text, typed-text echo, input box.
QFont fixedPitch(qreal pointSize);
// "ＭＳ Ｐゴシック": labels.
QFont proportional(qreal pointSize);

} // namespace Fonts
