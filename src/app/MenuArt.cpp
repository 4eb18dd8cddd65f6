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
QPointF at(const QRectF& r, qreal x, qreal y)
{
    return QPointF(r.x() + x * r.width(), r.y() + y * r.height());
}

} // namespace

namespace MenuArt {

QIcon practice()
{
    return DrawnIcon::make([](QPainter& p, const QRectF& r, bool off) {
        const qreal s = r.width();
        p.setPen(QPen(ink(off, QColor(90, 90, 90)), s * 0.04));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(at(r, 0.14, 0.10), at(r, 0.74, 0.90)), s * 0.04, s * 0.04);
        p.setPen(QPen(ink(off, QColor(150, 170, 200)), s * 0.035));
        for (qreal y : {0.32, 0.48, 0.64})
            p.drawLine(at(r, 0.24, y), at(r, 0.62, y));
        QPainterPath pencil;
        pencil.moveTo(at(r, 0.50, 0.78));
        pencil.lineTo(at(r, 0.84, 0.26));
        pencil.lineTo(at(r, 0.94, 0.34));
        pencil.lineTo(at(r, 0.60, 0.86));
        pencil.closeSubpath();
        p.setPen(QPen(ink(off, QColor(120, 80, 20)), s * 0.03));
        p.setBrush(ink(off, QColor(245, 190, 50)));
        p.drawPath(pencil);
        QPainterPath tip;
        tip.moveTo(at(r, 0.50, 0.78));
        tip.lineTo(at(r, 0.60, 0.86));
        tip.lineTo(at(r, 0.46, 0.92));
        tip.closeSubpath();
        p.setBrush(ink(off, QColor(60, 60, 60)));
        p.drawPath(tip);
    });
}

QIcon certification()
{
    return DrawnIcon::make([](QPainter& p, const QRectF& r, bool off) {
        const qreal s = r.width();
        p.setPen(Qt::NoPen);
        p.setBrush(ink(off, QColor(200, 50, 50)));
        QPainterPath left;
        left.moveTo(at(r, 0.36, 0.50));
        left.lineTo(at(r, 0.24, 0.94));
        left.lineTo(at(r, 0.36, 0.86));
        left.lineTo(at(r, 0.46, 0.96));
        left.lineTo(at(r, 0.52, 0.56));
        p.drawPath(left);
        QPainterPath right;
        right.moveTo(at(r, 0.64, 0.50));
        right.lineTo(at(r, 0.76, 0.94));
        right.lineTo(at(r, 0.64, 0.86));
        right.lineTo(at(r, 0.54, 0.96));
        right.lineTo(at(r, 0.48, 0.56));
        p.drawPath(right);
        p.setPen(QPen(ink(off, QColor(150, 110, 0)), s * 0.04));
        p.setBrush(ink(off, QColor(250, 200, 40)));
        p.drawEllipse(QRectF(at(r, 0.22, 0.06), at(r, 0.78, 0.62)));
        p.setPen(QPen(ink(off, QColor(150, 110, 0)), s * 0.06, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        QPainterPath check;
        check.moveTo(at(r, 0.36, 0.34));
        check.lineTo(at(r, 0.47, 0.45));
        check.lineTo(at(r, 0.65, 0.24));
        p.setBrush(Qt::NoBrush);
        p.drawPath(check);
    });
}

QIcon ranking()
{
    return DrawnIcon::make([](QPainter& p, const QRectF& r, bool off) {
        const qreal s = r.width();
        p.setPen(QPen(ink(off, QColor(40, 60, 110)), s * 0.03));
        p.setBrush(ink(off, QColor(200, 200, 210)));
        p.drawRect(QRectF(at(r, 0.06, 0.56), at(r, 0.36, 0.92)));
        p.setBrush(ink(off, QColor(250, 200, 40)));
        p.drawRect(QRectF(at(r, 0.36, 0.36), at(r, 0.64, 0.92)));
        p.setBrush(ink(off, QColor(215, 140, 70)));
        p.drawRect(QRectF(at(r, 0.64, 0.66), at(r, 0.94, 0.92)));
        // A star over the winner.
        QPainterPath star;
        const QPointF c = at(r, 0.50, 0.18);
        for (int i = 0; i < 10; ++i) {
            const qreal radius = (i % 2 == 0 ? 0.14 : 0.06) * s;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(c.x() + radius * qCos(angle), c.y() + radius * qSin(angle));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.setBrush(ink(off, QColor(250, 200, 40)));
        p.drawPath(star);
    });
}

QIcon settings()
{
    return DrawnIcon::make([](QPainter& p, const QRectF& r, bool off) {
        const qreal s = r.width();
        const QPointF c = r.center();
        QPainterPath gear;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal radius = (i % 2 == 0 ? 0.44 : 0.34) * s;
            const qreal a0 = i * M_PI / teeth - M_PI / (teeth * 2.4);
            const qreal a1 = i * M_PI / teeth + M_PI / (teeth * 2.4);
            const QPointF p0(c.x() + radius * qCos(a0), c.y() + radius * qSin(a0));
            const QPointF p1(c.x() + radius * qCos(a1), c.y() + radius * qSin(a1));
            if (i == 0)
                gear.moveTo(p0);
            else
                gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        gear.addEllipse(c, 0.14 * s, 0.14 * s);
        gear.setFillRule(Qt::OddEvenFill);
        p.setPen(QPen(ink(off, QColor(50, 60, 70)), s * 0.03));
        p.setBrush(ink(off, QColor(130, 145, 160)));
        p.drawPath(gear);
    });
}

QIcon end()
{
    return DrawnIcon::make([](QPainter& p, const QRectF& r, bool off) {
        const qreal s = r.width();
        p.setPen(QPen(ink(off, QColor(190, 40, 40)), s * 0.10, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(at(r, 0.16, 0.18), at(r, 0.84, 0.86));
        p.drawArc(ring, 120 * 16, -240 * 16);
        p.drawLine(at(r, 0.50, 0.08), at(r, 0.50, 0.48));
    });
}

} // namespace MenuArt
