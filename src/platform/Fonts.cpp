#include "Fonts.h"

#include <QFontDatabase>

namespace {

QFont fontOrStandIn(const QString& wanted, const QString& standIn, QFont::StyleHint hint,
                    qreal pointSize)
{
    QFont font(QFontDatabase::hasFamily(wanted) ? wanted : standIn);
    font.setStyleHint(hint);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

} // namespace

namespace Fonts {

QFont fixedPitch(qreal pointSize)
{
    return fontOrStandIn(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                         QFont::Monospace, pointSize);
}

QFont proportional(qreal pointSize)
{
    return fontOrStandIn(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                         QFont::SansSerif, pointSize);
}

} // namespace Fonts
