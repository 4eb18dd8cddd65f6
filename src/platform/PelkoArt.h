#pragma once

#include <QPixmap>
#include <QRectF>

class QPainter;

// The program's logo, drawn rather than stored so it stays crisp at any scale.
void paintLogo(QPainter& painter, const QRectF& area);
QPixmap logoPixmap(int logicalSize, qreal devicePixelRatio);
