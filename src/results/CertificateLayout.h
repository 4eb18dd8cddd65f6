#pragma once

#include <QLineF>
#include <QList>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

struct RunResult;

#include <functional>
#include <optional>

// The sheet in typographic points from the top-left corner of the printable area: the
// certificate in the upper half, its counterfoil below, both measured in unit(), a fifteenth
// of the half's height.
class CertificateLayout
{
public:
    struct Text {
        QString text;
        qreal pointSize;
        QPointF topLeft;
    };
    // Advance width of a text, in points, at a font size in points.
    using Measure = std::function<qreal(const QString& text, qreal pointSize)>;
    // Height above the baseline, in points, of the font at a size in points.
    using Ascent = std::function<qreal(qreal pointSize)>;

    explicit CertificateLayout(const QSizeF& printable);

    qreal sheetWidth() const { return m_sheetWidth; }
    qreal sheetHeight() const { return m_sheetHeight; }
    qreal halfHeight() const { return m_sheetHeight / 2; }
    qreal unit() const { return halfHeight() / 15; }
    qreal centerX() const { return m_sheetWidth / 2; }

    qreal titleSize() const { return unit(); }
    qreal bodySize() const { return halfHeight() / 30; }
    qreal speedSize() const { return halfHeight() / 20; }

    // Where the right-aligned values end.
    qreal leftValueEdge() const { return centerX() - unit() / 2; }
    qreal rightValueEdge() const { return centerX() + 7 * unit(); }

    // Every text of both halves, in drawing order. A value too long for the room beside its
    // label is set smaller, down to kMinValueScale of the body size, and past that cut short
    // with "…"; it keeps its baseline when ascent is given. The user ID and name break into
    // two lines instead, smaller still down to kMinWholeSize, then three lines within their
    // row, and only past three lines at that size are cut short.
    QList<Text> texts(const RunResult& run, const QString& date, const Measure& measure,
                      const Ascent& ascent = {}) const;
    // The logo of a half (0 upper, 1 lower), at the size it has on screen.
    QRectF logoRect(int half) const;
    // The square of a half's signed code (its quiet zone included), in the top right corner,
    // where neither the title nor the right column reach.
    QRectF codeRect(int half) const;
    // The check code's size, and its top-left corner centred under the code.
    qreal checkCodeSize() const { return bodySize() * 0.8; }
    QPointF checkCodePoint(int half, qreal textWidth) const;
    // The cut line between the halves.
    QLineF cutLine() const { return QLineF(0, halfHeight(), m_sheetWidth, halfHeight()); }

    // Space kept between a label and its value, in multiples of unit(): one full-width character of
    // the body font.
    static constexpr qreal kLabelGap = 0.5;
    static constexpr qreal kMinValueScale = 0.6;
    // From one line of a two-line value to the next, in multiples of its size.
    static constexpr qreal kSecondLineStep = 1.1;
    // Points: still readable on paper.
    static constexpr qreal kMinWholeSize = 7.0;

    // The logo's on-screen size: 85 pixels at 96 pixels an inch.
    static constexpr qreal kLogoSide = 85.0 * 72.0 / 96.0;

    // count / total as a percentage with one decimal, halves to even, no trailing zeros;
    // an empty problem gives 0 rather than a division by zero.
    static QString rateText(int count, int total);
    // 9 A4, 12 JIS B4, 13 JIS B5; other codes leave the printer's own paper.
    static std::optional<QPageSize::PageSizeId> pageSizeOf(int paperCode);

private:
    qreal m_sheetWidth;
    qreal m_sheetHeight;
};
