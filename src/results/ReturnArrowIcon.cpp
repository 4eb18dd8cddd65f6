#include "ReturnArrowIcon.h"

#include "platform/DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>

QIcon returnArrowIcon()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& box, bool disabled) {
        const qreal side = box.width();
        const QColor ink = disabled ? QColor(150, 150, 150) : QColor(30, 70, 150);
        auto at = [&](qreal x, qreal y) { return QPointF(box.x() + x * side, box.y() + y * side); };
        painter.setPen(QPen(ink, side * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        // A U-turn: out to the right, down, and back to the left under an arrow head.
        QPainterPath bend;
        bend.moveTo(at(0.22, 0.30));
        bend.lineTo(at(0.62, 0.30));
        bend.cubicTo(at(0.90, 0.30), at(0.90, 0.72), at(0.62, 0.72));
        bend.lineTo(at(0.30, 0.72));
        painter.drawPath(bend);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        QPainterPath head;
        head.moveTo(at(0.10, 0.72));
        head.lineTo(at(0.36, 0.54));
        head.lineTo(at(0.36, 0.90));
        head.closeSubpath();
        painter.drawPath(head);
    });
}
