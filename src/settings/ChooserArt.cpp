#include "ChooserArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace
{

constexpr int BaseSize = 32;

using Drawing = void (*)(QPainter&, qreal);

void drawCheck(QPainter& painter, qreal s)
{
    QPainterPath path;
    path.moveTo(0.18 * s, 0.52 * s);
    path.lineTo(0.42 * s, 0.76 * s);
    path.lineTo(0.84 * s, 0.26 * s);
    painter.setPen(QPen(QColor(0, 128, 0), 0.13 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

void drawCross(QPainter& painter, qreal s)
{
    painter.setPen(QPen(QColor(192, 0, 0), 0.13 * s, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0.24 * s, 0.24 * s), QPointF(0.76 * s, 0.76 * s));
    painter.drawLine(QPointF(0.76 * s, 0.24 * s), QPointF(0.24 * s, 0.76 * s));
}

QIcon drawnIcon(Drawing draw)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
        const int pixels = qRound(BaseSize * ratio);
        QPixmap pixmap(pixels, pixels);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            draw(painter, pixels);
        }
        pixmap.setDevicePixelRatio(ratio);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

namespace ChooserArt
{

QIcon okIcon()
{
    return drawnIcon(drawCheck);
}

QIcon cancelIcon()
{
    return drawnIcon(drawCross);
}

void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name)
{
    button->setIcon(icon);
    const int side = button->fontMetrics().height() * 3 / 2;
    button->setIconSize(QSize(side, side));
    button->setAccessibleName(name);
    button->setToolTip(name);
}

} // namespace ChooserArt
