#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// A surface that keeps what was printed on it and a drawing position, as the test window's
// problem text and typed rows need: print text at the position, end a row, measure
// text in the current font. Coordinates are logical pixels.
class PaintedRows : public QWidget
{
    Q_OBJECT
public:
    explicit PaintedRows(QWidget* parent = nullptr);

    // The font of what is printed next and of every measurement (family stays).
    void setFontSize(qreal pointSize);
    qreal fontSize() const { return m_font.pointSizeF(); }
    void setPrintFont(const QFont& font);
    QFont printFont() const { return m_font; }

    qreal textWidth(QStringView text) const;
    // Height of the text in the current font: one line height per line of the text.
    qreal textHeight(QStringView text = u" ") const;

    qreal currentX() const { return m_x; }
    qreal currentY() const { return m_y; }
    void setCurrentX(qreal x) { m_x = x; }
    void setCurrentY(qreal y) { m_y = y; }

    // Prints at the drawing position; the position moves right by the text's width.
    void print(const QString& text);
    // Ends the row: back to the left edge, one line height (current font) further down.
    void endRow();
    // Places a picture (drawn by paint into its rectangle) over the printed text.
    void paintPicture(const QRectF& rect, std::function<void(QPainter&, const QRectF&)> paint);
    // Forgets everything printed; the position returns to the top-left corner.
    void clear();

    // The whole widget is printed on: no margins.
    qreal innerWidth() const { return width(); }
    qreal innerHeight() const { return height(); }

    void setForeColor(const QColor& color) { m_foreColor = color; }
    QColor foreColor() const { return m_foreColor; }
    void setBackColor(const QColor& color);

    // What was printed, row by row (tests, accessibility).
    QStringList printedRows() const;
    const QList<QRectF>& pictures() const { return m_pictureRects; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Run {
        QPointF position; // top-left of the text cell
        qreal endX;       // where the run's text ends
        QString text;
        int fontIndex;
        QColor color;
    };
    int fontIndexFor(const QFont& font);
    const QFontMetricsF& metrics() const;

    QFont m_font;
    // Measuring is per character while drawing: keep the metrics of the current font.
    mutable std::optional<QFontMetricsF> m_metrics;
    QList<QFont> m_fonts; // fonts used by runs, shared
    int m_fontIndex = -1; // of m_font in m_fonts, -1 until used
    QList<Run> m_runs;    // in printing order, so y never decreases
    QList<QRectF> m_pictureRects;
    QList<std::function<void(QPainter&, const QRectF&)>> m_pictures;
    QColor m_foreColor = Qt::black;
    qreal m_x = 0;
    qreal m_y = 0;
};
