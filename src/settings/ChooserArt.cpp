#include "ChooserArt.h"

#include "platform/DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace
{

QColor ink(bool disabled, const QColor& color)
{
    return disabled ? QColor(160, 160, 160) : color;
}

} // namespace

namespace ChooserArt
{

QIcon okIcon()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& r, bool disabled) {
        const qreal s = r.width();
        QPainterPath path;
        path.moveTo(r.x() + 0.18 * s, r.y() + 0.52 * s);
        path.lineTo(r.x() + 0.42 * s, r.y() + 0.76 * s);
        path.lineTo(r.x() + 0.84 * s, r.y() + 0.26 * s);
        painter.setPen(QPen(ink(disabled, QColor(0, 128, 0)), 0.13 * s, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    });
}

QIcon cancelIcon()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& r, bool disabled) {
        const qreal s = r.width();
        painter.setPen(QPen(ink(disabled, QColor(192, 0, 0)), 0.13 * s, Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawLine(QPointF(r.x() + 0.24 * s, r.y() + 0.24 * s),
                         QPointF(r.x() + 0.76 * s, r.y() + 0.76 * s));
        painter.drawLine(QPointF(r.x() + 0.76 * s, r.y() + 0.24 * s),
                         QPointF(r.x() + 0.24 * s, r.y() + 0.76 * s));
    });
}

void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name)
{
    DrawnIcon::makePictureButton(button, icon, name);
}

QPushButton* okButton(QWidget* parent)
{
    auto* button = new QPushButton(parent);
    makePictureButton(button, okIcon(), QStringLiteral("OK"));
    return button;
}

QPushButton* cancelButton(QWidget* parent)
{
    auto* button = new QPushButton(parent);
    makePictureButton(button, cancelIcon(), QStringLiteral("キャンセル"));
    return button;
}

} // namespace ChooserArt
