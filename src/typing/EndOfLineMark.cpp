#include "EndOfLineMark.h"

#include <QPainter>
#include <QPainterPath>

namespace EndOfLineMark
{

int chooseSize(int rowPixels)
{
    for (int i = 0; i < SizeCount; ++i) {
        if (sizeAt(i) > rowPixels)
            return sizeAt(i == 0 ? 0 : i - 1);
    }
    return sizeAt(SizeCount - 1);
}

void paint(QPainter& painter, const QRectF& rect, const QColor& color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = qMin(rect.width(), rect.height());
    const QRectF r(rect.x() + (rect.width() - s) / 2, rect.y() + (rect.height() - s) / 2, s, s);
    QPen pen(color, qMax(1.0, s * 0.12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    // Down from the top right, then left, with an arrow head: the key's own symbol.
    QPainterPath stem;
    stem.moveTo(r.left() + s * 0.80, r.top() + s * 0.15);
    stem.lineTo(r.left() + s * 0.80, r.top() + s * 0.62);
    stem.lineTo(r.left() + s * 0.22, r.top() + s * 0.62);
    painter.drawPath(stem);
    QPainterPath head;
    head.moveTo(r.left() + s * 0.42, r.top() + s * 0.42);
    head.lineTo(r.left() + s * 0.20, r.top() + s * 0.62);
    head.lineTo(r.left() + s * 0.42, r.top() + s * 0.82);
    painter.drawPath(head);
    painter.restore();
}

} // namespace EndOfLineMark
