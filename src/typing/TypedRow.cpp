#include "TypedRow.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace
{

// As a line edit shows them: control characters as spaces, so no font draws a box.
QString shown(QString text)
{
    for (QChar& c : text) {
        if ((c.unicode() < 0x20 && c.unicode() != 0x09) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

QTextLine layOut(QTextLayout& layout, const QString& text, const QFont& font)
{
    layout.setText(shown(text));
    layout.setFont(font);
    QTextOption option = layout.textOption();
    option.setTextDirection(Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

} // namespace

TypedRow::TypedRow()
{
    setFont(QFont());
}

void TypedRow::setFont(const QFont& font)
{
    m_font = font;
    m_shapes.clear();
    m_empty = shapeOf(QString());
    const QString text = std::exchange(m_text, QString());
    clear();
    append(text);
    if (hasPreedit())
        layOutWithPreedit();
}

std::shared_ptr<const TypedRow::Shape> TypedRow::shapeOf(const QString& grapheme)
{
    if (const auto found = m_shapes.constFind(grapheme); found != m_shapes.cend())
        return *found;
    if (m_shapes.size() > 4096)
        m_shapes.clear();
    auto shape = std::make_shared<Shape>();
    const QTextLine line = layOut(shape->layout, grapheme, m_font);
    shape->width = line.naturalTextWidth();
    shape->ascent = line.ascent();
    shape->descent = line.descent();
    shape->ink = QFontMetrics(m_font).boundingRect(grapheme);
    shape->glyphs = shape->layout.glyphRuns();
    m_shapes.insert(grapheme, shape);
    return shape;
}

QMargins TypedRow::append(const QString& text)
{
    const qreal end = m_textWidth;
    QString added = text;
    int at = int(m_text.size());
    // A mark or joiner that belongs to the last character is laid out with it.
    if (!m_pieces.isEmpty() && !text.isEmpty()) {
        const Piece last = m_pieces.constLast();
        QTextBoundaryFinder joined(QTextBoundaryFinder::Grapheme, m_text.mid(last.start) + text);
        joined.setPosition(at - last.start);
        if (!joined.isAtBoundary()) {
            added = m_text.mid(last.start) + text;
            at = last.start;
            m_text.truncate(at);
            m_pieces.removeLast();
            m_textWidth = last.x;
        }
    }
    QMargins reach;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, added);
    for (qsizetype from = 0, to = graphemes.toNextBoundary(); to > from;
         from = to, to = graphemes.toNextBoundary()) {
        const auto shape = shapeOf(added.mid(from, to - from));
        if (from == 0)
            reach.setLeft(int(std::ceil(end - m_textWidth)) + std::max(0, -shape->ink.left()));
        reach.setRight(
            std::max(0, int(std::ceil(shape->ink.left() + shape->ink.width() - shape->width))));
        m_pieces.append({shape, int(at + from), m_textWidth});
        m_textWidth += shape->width;
    }
    m_text += added;
    measure();
    if (hasPreedit())
        layOutWithPreedit();
    return reach;
}

void TypedRow::measure()
{
    // The row's line is as high as its highest character; its ink as
    // QFontMetrics::boundingRect finds it.
    m_textAscent = m_textDescent = 0;
    m_inkTop = m_inkBottom = 0;
    for (const Piece& piece : std::as_const(m_pieces)) {
        const Shape& shape = *piece.shape;
        const bool first = &piece == &m_pieces.constFirst();
        m_textAscent = first ? shape.ascent : std::max(m_textAscent, shape.ascent);
        m_textDescent = first ? shape.descent : std::max(m_textDescent, shape.descent);
        m_inkTop = first ? shape.ink.top() : std::min(m_inkTop, shape.ink.top());
        const int inkBottom = shape.ink.top() + shape.ink.height();
        m_inkBottom = first ? inkBottom : std::max(m_inkBottom, inkBottom);
    }
}

void TypedRow::clear()
{
    m_text.clear();
    m_pieces.clear();
    m_textWidth = 0;
    if (hasPreedit())
        layOutWithPreedit();
}

void TypedRow::setPreedit(const QString& preedit, const QList<QTextLayout::FormatRange>& formats,
                          int caret)
{
    m_preedit = preedit;
    m_preeditFormats = formats;
    m_preeditCaret = caret;
    if (hasPreedit())
        layOutWithPreedit();
}

void TypedRow::layOutWithPreedit()
{
    // As one line, the way a line edit has it: the preedit's look is the input method's.
    m_withPreedit.setPreeditArea(int(m_text.size()), m_preedit);
    QList<QTextLayout::FormatRange> formats = m_preeditFormats;
    for (QTextLayout::FormatRange& range : formats)
        range.start += int(m_text.size());
    m_withPreedit.setFormats(formats);
    layOut(m_withPreedit, m_text, m_font);
    m_preeditInkHeight = QFontMetrics(m_font).boundingRect(m_text + m_preedit).height();
}

const TypedRow::Shape& TypedRow::lastShape() const
{
    return m_pieces.isEmpty() ? *m_empty : *m_pieces.constLast().shape;
}

qreal TypedRow::width() const
{
    return hasPreedit() ? m_withPreedit.lineAt(0).naturalTextWidth() : m_textWidth;
}

qreal TypedRow::caretX() const
{
    return hasPreedit() ? m_withPreedit.lineAt(0).cursorToX(int(m_text.size()) + m_preeditCaret)
                        : m_textWidth;
}

qreal TypedRow::xAt(int offset) const
{
    if (hasPreedit())
        return m_withPreedit.lineAt(0).cursorToX(offset);
    auto piece = std::upper_bound(m_pieces.cbegin(), m_pieces.cend(), offset,
                                  [](int at, const Piece& p) { return at < p.start; });
    if (piece == m_pieces.cbegin())
        return 0;
    --piece;
    return piece->x + piece->shape->layout.lineAt(0).cursorToX(offset - piece->start);
}

qreal TypedRow::ascent() const
{
    if (hasPreedit())
        return m_withPreedit.lineAt(0).ascent();
    return m_pieces.isEmpty() ? m_empty->ascent : m_textAscent;
}

qreal TypedRow::descent() const
{
    if (hasPreedit())
        return m_withPreedit.lineAt(0).descent();
    return m_pieces.isEmpty() ? m_empty->descent : m_textDescent;
}

int TypedRow::inkHeight() const
{
    if (hasPreedit())
        return m_preeditInkHeight;
    return m_pieces.isEmpty() ? 0 : m_inkBottom - m_inkTop;
}

void TypedRow::draw(QPainter* painter, const QPointF& topLeft, const QRectF& clip,
                    const QRect& dirty) const
{
    if (hasPreedit()) {
        m_withPreedit.draw(painter, topLeft, {}, clip);
        return;
    }
    // Each piece on the row's baseline, at the place it would have in one laid-out line.
    const qreal baseline = topLeft.y() + ascent();
    for (const Piece& piece : m_pieces) {
        const qreal left = topLeft.x() + piece.x;
        const QRect& ink = piece.shape->ink;
        if (left + std::max(piece.shape->width, qreal(ink.left() + ink.width())) < dirty.left() ||
            left + std::min(0, ink.left()) > dirty.right())
            continue;
        for (const QGlyphRun& run : piece.shape->glyphs)
            painter->drawGlyphRun(QPointF(left, baseline - piece.shape->ascent), run);
    }
}

void TypedRow::drawCaret(QPainter* painter, const QPointF& topLeft, int width) const
{
    const int caret = int(m_text.size()) + m_preeditCaret;
    if (hasPreedit()) {
        m_withPreedit.drawCursor(painter, topLeft, caret, width);
        return;
    }
    // As tall as the character before it, standing on the row's lowest descent.
    const Shape& last = lastShape();
    const qreal top = topLeft.y() + ascent() + descent() - last.ascent - last.descent;
    painter->fillRect(QRectF(topLeft.x() + m_textWidth, top, width, last.ascent + last.descent),
                      painter->pen().brush());
}
