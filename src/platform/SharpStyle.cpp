#include "SharpStyle.h"

#include "DrawnIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionHeader>

namespace
{

QPointF at(const QRectF& box, qreal x, qreal y)
{
    return {box.x() + x * box.width(), box.y() + y * box.height()};
}

// A round badge with a white sign on it, the common form of the message pictures.
QIcon badge(QColor fill, std::function<void(QPainter&, const QRectF&)> sign)
{
    return DrawnIcon::make([fill, sign](QPainter& painter, const QRectF& box, bool disabled) {
        const qreal side = box.width();
        painter.setPen(QPen(disabled ? QColor(120, 120, 120) : fill.darker(130), side * 0.04));
        painter.setBrush(disabled ? QColor(170, 170, 170) : fill);
        painter.drawEllipse(box.adjusted(side * 0.06, side * 0.06, -side * 0.06, -side * 0.06));
        sign(painter, box);
    });
}

QIcon information()
{
    return badge(QColor(40, 100, 200), [](QPainter& painter, const QRectF& box) {
        const qreal side = box.width();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(at(box, 0.5, 0.28), side * 0.07, side * 0.07);
        painter.drawRoundedRect(QRectF(at(box, 0.43, 0.42), at(box, 0.57, 0.78)), side * 0.03,
                                side * 0.03);
    });
}

QIcon critical()
{
    return badge(QColor(205, 45, 45), [](QPainter& painter, const QRectF& box) {
        painter.setPen(QPen(Qt::white, box.width() * 0.12, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at(box, 0.34, 0.34), at(box, 0.66, 0.66));
        painter.drawLine(at(box, 0.66, 0.34), at(box, 0.34, 0.66));
    });
}

QIcon question()
{
    return badge(QColor(40, 100, 200), [](QPainter& painter, const QRectF& box) {
        const qreal side = box.width();
        painter.setPen(QPen(Qt::white, side * 0.11, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        QPainterPath hook;
        hook.moveTo(at(box, 0.36, 0.38));
        hook.cubicTo(at(box, 0.36, 0.18), at(box, 0.66, 0.18), at(box, 0.65, 0.37));
        hook.cubicTo(at(box, 0.64, 0.50), at(box, 0.50, 0.50), at(box, 0.50, 0.62));
        painter.drawPath(hook);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(at(box, 0.5, 0.78), side * 0.07, side * 0.07);
    });
}

QIcon warning()
{
    return DrawnIcon::make([](QPainter& painter, const QRectF& box, bool disabled) {
        const qreal side = box.width();
        QPainterPath triangle;
        triangle.moveTo(at(box, 0.5, 0.08));
        triangle.lineTo(at(box, 0.95, 0.90));
        triangle.lineTo(at(box, 0.05, 0.90));
        triangle.closeSubpath();
        painter.setPen(QPen(disabled ? QColor(120, 120, 120) : QColor(170, 120, 0), side * 0.04,
                            Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(disabled ? QColor(190, 190, 190) : QColor(250, 195, 40));
        painter.drawPath(triangle);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawRoundedRect(QRectF(at(box, 0.445, 0.32), at(box, 0.555, 0.64)), side * 0.03,
                                side * 0.03);
        painter.drawEllipse(at(box, 0.5, 0.76), side * 0.06, side * 0.06);
    });
}

} // namespace

QIcon SharpStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                               const QWidget* widget) const
{
    switch (which) {
    case SP_MessageBoxInformation:
        return information();
    case SP_MessageBoxWarning:
        return warning();
    case SP_MessageBoxCritical:
        return critical();
    case SP_MessageBoxQuestion:
        return question();
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}

void SharpStyle::drawControl(ControlElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != CE_Header || !header) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    proxy()->drawControl(CE_HeaderSection, header, painter, widget);
    QStyleOptionHeader label = *header;
    label.rect = header->rect.adjusted(2, 4, -2, 0); // below the arrow's strip
    proxy()->drawControl(CE_HeaderLabel, &label, painter, widget);
    if (header->sortIndicator == QStyleOptionHeader::None)
        return;
    QStyleOptionHeader arrow = *header;
    arrow.rect = QRect(header->rect.center().x() - 5, header->rect.top() + 2, 11, 6);
    proxy()->drawPrimitive(PE_IndicatorHeaderArrow, &arrow, painter, widget);
}
