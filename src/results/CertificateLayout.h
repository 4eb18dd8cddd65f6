#pragma once

#include <QLineF>
#include <QList>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

// What the certificate shows, as the print request hands it over.
struct CertificateFields {
    QString UserID;
    QString UserName;
    QString PC_NAME;
    qint16 InpSpeed = 0;
    float Seidaritu = 0;
    qint16 ErrCount = 0;
    qint16 UseTime = 0;
    QString Filename;
    qint16 Eisu = 0;
    qint16 KanziKigo = 0;
    qint16 InpMozisu = 0;
    qint16 SouMozisu = 0;
    qint16 LogNumber = 0;
};

// The sheet in typographic points from the top-left corner of the printable area: the
// certificate in the upper half, its counterfoil below, both built on the unit U = h / 15.
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

    qreal W() const { return m_W; }
    qreal H() const { return m_H; }
    qreal h() const { return m_H / 2; }
    qreal U() const { return h() / 15; }
    qreal cx() const { return m_W / 2; }

    qreal titleSize() const { return U(); }
    qreal bodySize() const { return h() / 30; }
    qreal speedSize() const { return h() / 20; }

    // Where the right-aligned values end.
    qreal leftValueEdge() const { return cx() - U() / 2; }
    qreal rightValueEdge() const { return cx() + 7 * U(); }

    // Every text of both halves, in drawing order. A value too long for the room beside its
    // label is set smaller, down to minValueScale of the body size, and past that cut short
    // with "…"; it keeps its baseline when ascent is given.
    QList<Text> texts(const CertificateFields& fields, const QString& date, const Measure& measure,
                      const Ascent& ascent = {}) const;
    // The logo of a half (0 upper, 1 lower), at the size it has on screen.
    QRectF logoRect(int half) const;
    // The cut line between the halves.
    QLineF cutLine() const { return QLineF(0, h(), m_W, h()); }

    // Space kept between a label and its value, in units of U: one full-width character of
    // the body font.
    static constexpr qreal labelGap = 0.5;
    static constexpr qreal minValueScale = 0.6;

    // The logo's on-screen size: 85 pixels at 96 pixels an inch.
    static constexpr qreal logoSide = 85.0 * 72.0 / 96.0;

    // count / total as a percentage with one decimal, halves to even, no trailing zeros;
    // an empty problem gives 0 rather than a division by zero.
    static QString rateText(int count, int total);
    // 9 A4, 12 JIS B4, 13 JIS B5; other codes leave the printer's own paper.
    static std::optional<QPageSize::PageSizeId> pageSizeOf(int paperCode);

private:
    qreal m_W;
    qreal m_H;
};
