#include "PelkoArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

void paintLogo(QPainter& painter, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(area.width(), area.height());
    const QRectF key(area.center().x() - side / 2, area.center().y() - side / 2, side, side);

    // A keyboard key cap seen from above, with a kana on it.
    const qreal radius = side * 0.18;
    QPainterPath outer;
    outer.addRoundedRect(key.adjusted(side * 0.04, side * 0.04, -side * 0.04, -side * 0.04),
                         radius, radius);
    QLinearGradient body(key.topLeft(), key.bottomRight());
    body.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    body.setColorAt(1, QColor(0x1a, 0x3f, 0x73));
    painter.fillPath(outer, body);

    const QRectF top = key.adjusted(side * 0.14, side * 0.10, -side * 0.14, -side * 0.20);
    QPainterPath inner;
    inner.addRoundedRect(top, radius * 0.7, radius * 0.7);
    painter.fillPath(inner, QColor(0xf4, 0xf7, 0xfb));

    QFont kana(QStringLiteral("IPAPGothic"));
    kana.setPixelSize(qMax(1, int(top.height() * 0.62)));
    kana.setBold(true);
    painter.setFont(kana);
    painter.setPen(QColor(0x1a, 0x3f, 0x73));
    painter.drawText(top, Qt::AlignCenter, QStringLiteral("あ"));

    // A small check mark: the character was right.
    QPen tick(QColor(0xe8, 0x5d, 0x3a), qMax(1.0, side * 0.06), Qt::SolidLine, Qt::RoundCap,
              Qt::RoundJoin);
    painter.setPen(tick);
    QPainterPath check;
    check.moveTo(key.left() + side * 0.58, key.top() + side * 0.84);
    check.lineTo(key.left() + side * 0.68, key.top() + side * 0.92);
    check.lineTo(key.left() + side * 0.88, key.top() + side * 0.72);
    painter.drawPath(check);
    painter.restore();
}

QPixmap logoPixmap(int logicalSize, qreal devicePixelRatio)
{
    const int physical = qMax(1, qRound(logicalSize * devicePixelRatio));
    QPixmap pixmap(physical, physical);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintLogo(painter, QRectF(0, 0, logicalSize, logicalSize));
    return pixmap;
}
