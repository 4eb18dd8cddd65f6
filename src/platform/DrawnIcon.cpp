#include "DrawnIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

class DrawnIconEngine : public QIconEngine
{
public:
    explicit DrawnIconEngine(DrawnIcon::Drawing drawing) : m_drawing(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal side = qMin(rect.width(), rect.height());
        const QRectF square(rect.x() + (rect.width() - side) / 2.0,
                            rect.y() + (rect.height() - side) / 2.0, side, side);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        m_drawing(*painter, square, mode == QIcon::Disabled);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // Qt hands over the size in device pixels already (QIcon::pixmap(size, scale)).
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_drawing); }

private:
    DrawnIcon::Drawing m_drawing;
};

} // namespace

namespace DrawnIcon {

QIcon make(Drawing drawing) { return QIcon(new DrawnIconEngine(std::move(drawing))); }

void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name, int iconSide)
{
    button->setIcon(icon);
    const int side = iconSide > 0 ? iconSide : button->fontMetrics().height() * 3 / 2;
    button->setIconSize(QSize(side, side));
    button->setAccessibleName(name);
    button->setToolTip(name);
}

} // namespace DrawnIcon
