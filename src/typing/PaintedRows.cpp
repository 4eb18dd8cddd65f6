#include "PaintedRows.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

PaintedRows::PaintedRows(QWidget* parent) : QWidget(parent), m_font(font())
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(true);
}

void PaintedRows::setFontSize(qreal pointSize)
{
    if (pointSize > 0 && pointSize != m_font.pointSizeF()) {
        m_font.setPointSizeF(pointSize);
        m_metrics.reset();
        m_fontIndex = -1;
    }
}

void PaintedRows::setPrintFont(const QFont& font)
{
    m_font = font;
    m_metrics.reset();
    m_fontIndex = -1;
}

const QFontMetricsF& PaintedRows::metrics() const
{
    if (!m_metrics)
        m_metrics.emplace(m_font, this);
    return *m_metrics;
}

qreal PaintedRows::textWidth(QStringView text) const
{
    return metrics().horizontalAdvance(text.toString());
}

qreal PaintedRows::textHeight(QStringView text) const
{
    const qsizetype lines = std::max<qsizetype>(1, text.count(u'\n') + 1);
    return metrics().height() * qreal(lines);
}

int PaintedRows::fontIndexFor(const QFont& font)
{
    for (int i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts.at(i) == font)
            return i;
    }
    m_fonts.append(font);
    return int(m_fonts.size()) - 1;
}

void PaintedRows::print(const QString& text)
{
    if (text.isEmpty())
        return;
    if (m_fontIndex < 0)
        m_fontIndex = fontIndexFor(m_font);
    const int fontIndex = m_fontIndex;
    const qreal advance = textWidth(text);
    // Only the new text needs painting (a long problem is drawn a character at a time).
    const QRect dirty = QRectF(m_x, m_y, advance, textHeight(u" ")).toAlignedRect();
    // Consecutive prints on one row in one font become one run: a fixed-pitch font has no
    // kerning, so the run draws exactly where the single prints would.
    if (!m_runs.isEmpty()) {
        Run& last = m_runs.last();
        if (last.position.y() == m_y && last.fontIndex == fontIndex && last.color == m_foreColor &&
            qFuzzyCompare(1.0 + last.endX, 1.0 + m_x)) {
            last.text += text;
            m_x += advance;
            last.endX = m_x;
            update(dirty);
            return;
        }
    }
    m_runs.append({QPointF(m_x, m_y), m_x + advance, text, fontIndex, m_foreColor});
    m_x += advance;
    update(dirty);
}

void PaintedRows::endRow()
{
    m_x = 0;
    m_y += textHeight(u" ");
}

void PaintedRows::paintPicture(const QRectF& rect,
                               std::function<void(QPainter&, const QRectF&)> paint)
{
    m_pictureRects.append(rect);
    m_pictures.append(std::move(paint));
    update(rect.toAlignedRect());
}

void PaintedRows::clear()
{
    m_runs.clear();
    m_fonts.clear();
    m_fontIndex = -1;
    m_pictureRects.clear();
    m_pictures.clear();
    m_x = 0;
    m_y = 0;
    update();
}

void PaintedRows::setBackColor(const QColor& color)
{
    QPalette backPalette = palette();
    backPalette.setColor(QPalette::Window, color);
    setPalette(backPalette);
}

QStringList PaintedRows::printedRows() const
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

void PaintedRows::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF exposed = event->rect();
    // Runs are in row order: skip straight to the first row that can be visible.
    const qreal tallest = 200;
    auto first = std::lower_bound(m_runs.cbegin(), m_runs.cend(), exposed.top() - tallest,
                                  [](const Run& run, qreal y) { return run.position.y() < y; });
    int currentFont = -1;
    for (auto it = first; it != m_runs.cend(); ++it) {
        if (it->position.y() > exposed.bottom())
            break;
        if (it->fontIndex != currentFont) {
            currentFont = it->fontIndex;
            painter.setFont(m_fonts.at(currentFont));
        }
        painter.setPen(it->color);
        const QFontMetricsF metrics(m_fonts.at(currentFont), this);
        painter.drawText(QPointF(it->position.x(), it->position.y() + metrics.ascent()), it->text);
    }
    for (int i = 0; i < m_pictures.size(); ++i) {
        if (m_pictureRects.at(i).intersects(exposed))
            m_pictures.at(i)(painter, m_pictureRects.at(i));
    }
}
