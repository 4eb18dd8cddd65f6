#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The mark drawn where a line of the problem ends and Enter is due: a return arrow.
// Drawn, not stored, so every size is crisp at any scale.
namespace EndOfLineMark
{

// The mark sizes on offer, in pixels: 10, 12, …, 30 (index 0 … 10).
inline constexpr int SizeCount = 11;
inline constexpr int sizeAt(int index)
{
    return 10 + 2 * index;
}

// The largest mark not taller than a text row of rowPixels, never smaller than 10.
int chooseSize(int rowPixels);

void paint(QPainter& painter, const QRectF& rect, const QColor& color);

} // namespace EndOfLineMark
