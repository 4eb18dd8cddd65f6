#include "ProblemLayout.h"

#include <algorithm>
#include <cmath>

namespace ProblemLayout
{

bool breaksAfter(int position, int lineLength, qreal x, qreal charWidth, qreal spaceWidth,
                 qreal innerWidth)
{
    return position < lineLength - 1 && x + charWidth + spaceWidth > innerWidth;
}

QList<int> rowLengths(const QList<qreal>& widths, qreal spaceWidth, qreal innerWidth)
{
    QList<int> rows;
    const int count = int(widths.size());
    qreal x = 0;
    int length = 0;
    for (int j = 0; j < count; ++j) {
        x += widths.at(j);
        ++length;
        if (breaksAfter(j, count, x, widths.at(j), spaceWidth, innerWidth)) {
            rows.append(length);
            x = 0;
            length = 0;
        }
    }
    rows.append(length);
    return rows;
}

QString displayText(const QString& character)
{
    return character == u"\u3000" ? QStringLiteral("□") : character;
}

int problemWindowWidth(qreal clientWidth, qreal width82Spaces, qreal spaceWidth)
{
    return int(std::lround(clientWidth < width82Spaces ? clientWidth - spaceWidth : width82Spaces));
}

Placement placeWindow(const QRect& workArea, int backgroundMode, int windowPercent)
{
    const int areaLeft = workArea.left();
    const int areaTop = workArea.top();
    const int areaWidth = workArea.width();
    const int areaHeight = workArea.height();
    if (backgroundMode == 1 || backgroundMode == 2)
        return {workArea, true};
    int left = int(std::lround(areaLeft + 0.1 * areaWidth));
    int top = int(std::lround(areaTop + 0.1 * areaHeight));
    const int width = int(std::lround(areaWidth * windowPercent * 0.01));
    int height = int(std::lround(areaHeight * windowPercent * 0.01));
    if (height < 600) {
        // The top of the work area rather than of the screen, so a task bar above it
        // cannot cover the window.
        height = areaHeight >= 600 ? 600 : areaHeight;
        top = areaTop;
    }
    return {QRect(left, top, width, height), false};
}

int ratePercent(int part, int total)
{
    // Exact integers: the rate of 57 in 100 is 57, not a floating-point 56.99….
    if (total <= 0)
        return 0;
    return int((qint64(part) * 100) / total);
}

QString problemSummary(int totalChars, int kanjiOrSymbolChars, int alphanumericChars,
                       int halfWidthChars)
{
    return QStringLiteral("総文字数:") + QString::number(totalChars) + QStringLiteral("文字") +
           QStringLiteral("  漢字率:") +
           QString::number(ratePercent(kanjiOrSymbolChars, totalChars)) + QStringLiteral("%") +
           QStringLiteral("  英数記号率:") +
           QString::number(ratePercent(alphanumericChars, totalChars)) + QStringLiteral("%") +
           QStringLiteral("  半角率:") + QString::number(ratePercent(halfWidthChars, totalChars)) +
           QStringLiteral("%");
}

InfoLineBox infoLineBox(qreal captionHeight, qreal textWidth, qreal frameWidth, qreal frameHeight,
                        qreal oneRowHeight, qreal twoRowHeight)
{
    if (captionHeight + textWidth > frameWidth)
        return {frameHeight - twoRowHeight, twoRowHeight, true};
    return {frameHeight - oneRowHeight / 2 - captionHeight, oneRowHeight, false};
}

InputWindowRows inputWindowRows(int windowHeight, int rowPitch, int boxHeight, int resultHeight,
                                int gap)
{
    InputWindowRows rows;
    rows.resultHeight = std::clamp(resultHeight, 0, std::max(0, windowHeight - boxHeight));
    rows.resultTop = windowHeight - rows.resultHeight;
    rows.boxTop = std::max(0, rows.resultTop - boxHeight);
    const int room = rows.boxTop - gap;
    rows.stripRows = rowPitch > 0 && room > 0 ? room / rowPitch : 0;
    rows.stripTop = rows.stripRows > 0 ? room - rows.stripRows * rowPitch : rows.boxTop;
    return rows;
}

} // namespace ProblemLayout
