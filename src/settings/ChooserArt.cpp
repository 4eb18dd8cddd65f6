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
    return DrawnIcon::make([](QPainter& painter, const QRectF& box, bool disabled) {
        const qreal side = box.width();
        QPainterPath path;
        path.moveTo(box.x() + 0.18 * side, box.y() + 0.52 * side);
        path.lineTo(box.x() + 0.42 * side, box.y() + 0.76 * side);
        path.lineTo(box.x() + 0.84 * side, box.y() + 0.26 * side);
        painter.setPen(QPen(ink(disabled, QColor(0, 128, 0)), 0.13 * side, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    });
}

QIcon cancelIcon()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& box, bool disabled) {
        const qreal side = box.width();
        painter.setPen(
            QPen(ink(disabled, QColor(192, 0, 0)), 0.13 * side, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(box.x() + 0.24 * side, box.y() + 0.24 * side),
                         QPointF(box.x() + 0.76 * side, box.y() + 0.76 * side));
        painter.drawLine(QPointF(box.x() + 0.76 * side, box.y() + 0.24 * side),
                         QPointF(box.x() + 0.24 * side, box.y() + 0.76 * side));
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
