#include "ReturnArrowIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{

class ReturnArrowEngine : public QIconEngine
{
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal s = qMin(rect.width(), rect.height());
        const QRectF box(rect.x() + (rect.width() - s) / 2.0, rect.y() + (rect.height() - s) / 2.0,
                         s, s);
        const QColor ink = mode == QIcon::Disabled ? QColor(150, 150, 150) : QColor(30, 70, 150);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen(ink, s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        auto at = [&](qreal x, qreal y) { return QPointF(box.x() + x * s, box.y() + y * s); };
        // A U-turn: out to the right, down, and back to the left under an arrow head.
        QPainterPath bend;
        bend.moveTo(at(0.22, 0.30));
        bend.lineTo(at(0.62, 0.30));
        bend.cubicTo(at(0.90, 0.30), at(0.90, 0.72), at(0.62, 0.72));
        bend.lineTo(at(0.30, 0.72));
        painter->drawPath(bend);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        QPainterPath head;
        head.moveTo(at(0.10, 0.72));
        head.lineTo(at(0.36, 0.54));
        head.lineTo(at(0.36, 0.90));
        head.closeSubpath();
        painter->drawPath(head);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new ReturnArrowEngine; }
};

} // namespace

QIcon returnArrowIcon()
{
    return QIcon(new ReturnArrowEngine);
}
