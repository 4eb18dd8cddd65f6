#include "TextRows.h"

#include "EndOfLineMark.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

TextRows::TextRows(QWidget* parent) : QWidget(parent), m_font(font())
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(true);
}

void TextRows::setTextFont(const QFont& font)
{
    m_font = font;
    m_metrics.reset();
    m_characterWidths.clear();
    m_fontIndex = -1;
}

const QFontMetricsF& TextRows::metrics() const
{
    if (!m_metrics)
        m_metrics.emplace(m_font, this);
    return *m_metrics;
}

qreal TextRows::textWidth(QStringView text) const
{
    // One character is at most a surrogate pair; longer texts are rare and not kept.
    if (text.size() > 2)
        return metrics().horizontalAdvance(text.toString());
    quint64 key = quint64(text.size()) << 32;
    for (qsizetype i = 0; i < text.size(); ++i)
        key |= quint64(text[i].unicode()) << (16 * i);
    auto it = m_characterWidths.constFind(key);
    if (it == m_characterWidths.cend())
        it = m_characterWidths.insert(key, metrics().horizontalAdvance(text.toString()));
    return it.value();
}

qreal TextRows::rowHeight() const
{
    return metrics().height();
}

qreal TextRows::rowHeight(qreal pointSize) const
{
    if (pointSize <= 0 || pointSize == m_font.pointSizeF())
        return rowHeight();
    QFont font = m_font;
    font.setPointSizeF(pointSize);
    return QFontMetricsF(font, this).height();
}

int TextRows::fontIndexFor(const QFont& font)
{
    for (int i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts.at(i) == font)
            return i;
    }
    m_fonts.append(font);
    return int(m_fonts.size()) - 1;
}

qreal TextRows::addText(QPointF topLeft, const QString& text)
{
    if (text.isEmpty())
        return topLeft.x();
    if (m_fontIndex < 0)
        m_fontIndex = fontIndexFor(m_font);
    const qreal advance = textWidth(text);
    const qreal endX = topLeft.x() + advance;
    // Only the new text needs painting (a long problem is added a character at a time, with
    // updates off until it is all there).
    if (updatesEnabled())
        update(QRectF(topLeft, QSizeF(advance, rowHeight())).toAlignedRect());
    // Pieces that follow each other on one row in one font become one run: a fixed-pitch
    // font has no kerning, so the run draws exactly where the single pieces would.
    if (!m_runs.isEmpty()) {
        Run& last = m_runs.last();
        if (last.position.y() == topLeft.y() && last.fontIndex == m_fontIndex &&
            qFuzzyCompare(1.0 + last.endX, 1.0 + topLeft.x())) {
            last.text += text;
            last.endX = endX;
            return endX;
        }
    }
    m_runs.append({topLeft, endX, text, m_fontIndex});
    return endX;
}

void TextRows::addMark(const QRectF& rect)
{
    m_marks.append(rect);
    update(rect.toAlignedRect());
}

void TextRows::clear()
{
    m_runs.clear();
    m_fonts.clear();
    m_fontIndex = -1;
    m_marks.clear();
    update();
}

void TextRows::setBackColor(const QColor& color)
{
    QPalette backPalette = palette();
    backPalette.setColor(QPalette::Window, color);
    setPalette(backPalette);
}

QStringList TextRows::rows() const
{
    QStringList rows;
    qreal rowY = -1;
    for (const Run& run : m_runs) {
        if (rows.isEmpty() || run.position.y() != rowY) {
            rows.append(run.text);
            rowY = run.position.y();
        } else {
            rows.last() += run.text;
        }
    }
    return rows;
}

void TextRows::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF exposed = event->rect();
    // Runs are in row order: skip straight to the first row that can be visible.
    const qreal tallest = 200;
    auto first = std::lower_bound(m_runs.cbegin(), m_runs.cend(), exposed.top() - tallest,
                                  [](const Run& run, qreal y) { return run.position.y() < y; });
    int currentFont = -1;
    painter.setPen(m_textColor);
    for (auto it = first; it != m_runs.cend(); ++it) {
        if (it->position.y() > exposed.bottom())
            break;
        if (it->fontIndex != currentFont) {
            currentFont = it->fontIndex;
            painter.setFont(m_fonts.at(currentFont));
        }
        const QFontMetricsF metrics(m_fonts.at(currentFont), this);
        painter.drawText(QPointF(it->position.x(), it->position.y() + metrics.ascent()), it->text);
    }
    for (const QRectF& mark : std::as_const(m_marks)) {
        if (mark.intersects(exposed))
            EndOfLineMark::paint(painter, mark, m_textColor);
    }
}
