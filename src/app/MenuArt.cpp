#include "MenuArt.h"

#include "platform/DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QColor ink(bool disabled, const QColor& color)
{
    return disabled ? QColor(160, 160, 160) : color;
}

// Point at (x, y) in units of the square's side.
QPointF at(const QRectF& square, qreal x, qreal y)
{
    return QPointF(square.x() + x * square.width(), square.y() + y * square.height());
}

} // namespace

namespace MenuArt {

QIcon practice()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& square, bool disabled) {
        const qreal side = square.width();
        painter.setPen(QPen(ink(disabled, QColor(90, 90, 90)), side * 0.04));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(at(square, 0.14, 0.10), at(square, 0.74, 0.90)), side * 0.04,
                                side * 0.04);
        painter.setPen(QPen(ink(disabled, QColor(150, 170, 200)), side * 0.035));
        for (qreal y : {0.32, 0.48, 0.64})
            painter.drawLine(at(square, 0.24, y), at(square, 0.62, y));
        QPainterPath pencil;
        pencil.moveTo(at(square, 0.50, 0.78));
        pencil.lineTo(at(square, 0.84, 0.26));
        pencil.lineTo(at(square, 0.94, 0.34));
        pencil.lineTo(at(square, 0.60, 0.86));
        pencil.closeSubpath();
        painter.setPen(QPen(ink(disabled, QColor(120, 80, 20)), side * 0.03));
        painter.setBrush(ink(disabled, QColor(245, 190, 50)));
        painter.drawPath(pencil);
        QPainterPath tip;
        tip.moveTo(at(square, 0.50, 0.78));
        tip.lineTo(at(square, 0.60, 0.86));
        tip.lineTo(at(square, 0.46, 0.92));
        tip.closeSubpath();
        painter.setBrush(ink(disabled, QColor(60, 60, 60)));
        painter.drawPath(tip);
    });
}

QIcon certification()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& square, bool disabled) {
        const qreal side = square.width();
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink(disabled, QColor(200, 50, 50)));
        QPainterPath left;
        left.moveTo(at(square, 0.36, 0.50));
        left.lineTo(at(square, 0.24, 0.94));
        left.lineTo(at(square, 0.36, 0.86));
        left.lineTo(at(square, 0.46, 0.96));
        left.lineTo(at(square, 0.52, 0.56));
        painter.drawPath(left);
        QPainterPath right;
        right.moveTo(at(square, 0.64, 0.50));
        right.lineTo(at(square, 0.76, 0.94));
        right.lineTo(at(square, 0.64, 0.86));
        right.lineTo(at(square, 0.54, 0.96));
        right.lineTo(at(square, 0.48, 0.56));
        painter.drawPath(right);
        painter.setPen(QPen(ink(disabled, QColor(150, 110, 0)), side * 0.04));
        painter.setBrush(ink(disabled, QColor(250, 200, 40)));
        painter.drawEllipse(QRectF(at(square, 0.22, 0.06), at(square, 0.78, 0.62)));
        painter.setPen(QPen(ink(disabled, QColor(150, 110, 0)), side * 0.06, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        QPainterPath check;
        check.moveTo(at(square, 0.36, 0.34));
        check.lineTo(at(square, 0.47, 0.45));
        check.lineTo(at(square, 0.65, 0.24));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(check);
    });
}

QIcon ranking()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& square, bool disabled) {
        const qreal side = square.width();
        painter.setPen(QPen(ink(disabled, QColor(40, 60, 110)), side * 0.03));
        painter.setBrush(ink(disabled, QColor(200, 200, 210)));
        painter.drawRect(QRectF(at(square, 0.06, 0.56), at(square, 0.36, 0.92)));
        painter.setBrush(ink(disabled, QColor(250, 200, 40)));
        painter.drawRect(QRectF(at(square, 0.36, 0.36), at(square, 0.64, 0.92)));
        painter.setBrush(ink(disabled, QColor(215, 140, 70)));
        painter.drawRect(QRectF(at(square, 0.64, 0.66), at(square, 0.94, 0.92)));
        // A star over the winner.
        QPainterPath star;
        const QPointF center = at(square, 0.50, 0.18);
        for (int i = 0; i < 10; ++i) {
            const qreal radius = (i % 2 == 0 ? 0.14 : 0.06) * side;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(center.x() + radius * qCos(angle), center.y() + radius * qSin(angle));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        painter.setBrush(ink(disabled, QColor(250, 200, 40)));
        painter.drawPath(star);
    });
}

QIcon settings()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& square, bool disabled) {
        const qreal side = square.width();
        const QPointF center = square.center();
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal radius = (i % 2 == 0 ? 0.44 : 0.34) * side;
            const qreal a0 = i * M_PI / teeth - M_PI / (teeth * 2.4);
            const qreal a1 = i * M_PI / teeth + M_PI / (teeth * 2.4);
            const QPointF p0(center.x() + radius * qCos(a0), center.y() + radius * qSin(a0));
            const QPointF p1(center.x() + radius * qCos(a1), center.y() + radius * qSin(a1));
            if (i == 0)
                gear.moveTo(p0);
            else
                gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        gear.addEllipse(center, 0.14 * side, 0.14 * side);
        gear.setFillRule(Qt::OddEvenFill);
        painter.setPen(QPen(ink(disabled, QColor(50, 60, 70)), side * 0.03));
        painter.setBrush(ink(disabled, QColor(130, 145, 160)));
        painter.drawPath(gear);
    });
}

QIcon quit()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& square, bool disabled) {
        const qreal side = square.width();
        painter.setPen(
            QPen(ink(disabled, QColor(190, 40, 40)), side * 0.10, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring(at(square, 0.16, 0.18), at(square, 0.84, 0.86));
        painter.drawArc(ring, 120 * 16, -240 * 16);
        painter.drawLine(at(square, 0.50, 0.08), at(square, 0.50, 0.48));
    });
}

} // namespace MenuArt
