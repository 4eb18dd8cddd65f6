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
    const qreal side = qMin(rect.width(), rect.height());
    const QRectF square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2,
                        side, side);
    QPen pen(color, qMax(1.0, side * 0.12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    // Down from the top right, then left, with an arrow head: the key's own symbol.
    QPainterPath stem;
    stem.moveTo(square.left() + side * 0.80, square.top() + side * 0.15);
    stem.lineTo(square.left() + side * 0.80, square.top() + side * 0.62);
    stem.lineTo(square.left() + side * 0.22, square.top() + side * 0.62);
    painter.drawPath(stem);
    QPainterPath head;
    head.moveTo(square.left() + side * 0.42, square.top() + side * 0.42);
    head.lineTo(square.left() + side * 0.20, square.top() + side * 0.62);
    head.lineTo(square.left() + side * 0.42, square.top() + side * 0.82);
    painter.drawPath(head);
    painter.restore();
}

} // namespace EndOfLineMark
