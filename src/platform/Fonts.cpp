#include "Fonts.h"

#include <QFontDatabase>

namespace {

// Looking a family up costs more than building the font, and the fonts installed do not
// change while the program runs: each family is looked up once.
QString familyOrStandIn(const QString& wanted, const QString& standIn)
{
    return QFontDatabase::hasFamily(wanted) ? wanted : standIn;
}

QFont styled(const QString& family, QFont::StyleHint hint, qreal pointSize)
{
    QFont font(family);
    font.setStyleHint(hint);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

} // namespace

namespace Fonts {

QFont fixedPitch(qreal pointSize)
{
    static const QString family =
        familyOrStandIn(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    return styled(family, QFont::Monospace, pointSize);
}

QFont proportional(qreal pointSize)
{
    static const QString family =
        familyOrStandIn(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    return styled(family, QFont::SansSerif, pointSize);
}

} // namespace Fonts
