#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <optional>

// Rows of text, each piece at the place its caller laid it out, and the end-of-line marks,
// painted in one colour on a plain background: the problem text and the typed rows of a test.
// Coordinates are logical pixels.
class TextRows : public QWidget
{
    Q_OBJECT
public:
    explicit TextRows(QWidget* parent = nullptr);

    // The font texts are added and measured in.
    void setTextFont(const QFont& font);
    QFont textFont() const { return m_font; }
    qreal textWidth(QStringView text) const;
    // One line height of the font.
    qreal rowHeight() const;
    // The same for the font at another point size (none or less: the font's own).
    qreal rowHeight(qreal pointSize) const;

    // Text whose cell's top-left corner is at `topLeft`; returns where it ends.
    qreal addText(QPointF topLeft, const QString& text);
    // An end-of-line mark filling the rectangle.
    void addMark(const QRectF& rect);
    void clear();

    void setTextColor(const QColor& color) { m_textColor = color; }
    QColor textColor() const { return m_textColor; }
    void setBackColor(const QColor& color);

    // What was added, row by row (tests, accessibility), and where the marks stand.
    QStringList rows() const;
    const QList<QRectF>& marks() const { return m_marks; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Run {
        QPointF position; // top-left of the text cell
        qreal endX;       // where the run's text ends
        QString text;
        int fontIndex;
    };
    int fontIndexFor(const QFont& font);
    const QFontMetricsF& metrics() const;

    QFont m_font;
    // Measuring is per character while laying out: keep the metrics of the current font,
    // and the width of each character, since shaping one costs far more than a look-up.
    mutable std::optional<QFontMetricsF> m_metrics;
    mutable QHash<quint64, qreal> m_characterWidths; // by length and code units
    QList<QFont> m_fonts; // fonts used by runs, shared
    int m_fontIndex = -1; // of m_font in m_fonts, -1 until used
    QList<Run> m_runs;    // in the order added, so y never decreases
    QList<QRectF> m_marks;
    QColor m_textColor = Qt::black;
};
