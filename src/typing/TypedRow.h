#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRect>
#include <QTextLayout>

#include <memory>

class QPainter;

// The text of the input box's row, laid out as a line edit lays it out, and drawn alike.
//
// Accepted text only grows at the end, a character at a time: each character (a grapheme)
// is laid out once per font and kept, so that adding one costs a lookup instead of laying
// out the whole row. The few characters of an input method's preedit are laid out with the
// row, as one line, with the method's formats.
class TypedRow
{
public:
    TypedRow();

    void setFont(const QFont& font);
    // Adds accepted text at the end. Returns how far its glyphs reach left of where it
    // starts and right of where it ends, in pixels (zero or more), for what must be redrawn.
    QMargins append(const QString& text);
    void clear();
    // Formats start at the preedit's first character; the caret stands in the preedit.
    void setPreedit(const QString& preedit, const QList<QTextLayout::FormatRange>& formats,
                    int caret);

    const QString& text() const { return m_text; }
    bool hasPreedit() const { return !m_preedit.isEmpty(); }
    // Of the accepted text and the preedit, from the row's start.
    qreal width() const;
    qreal caretX() const;
    qreal xAt(int offset) const;
    qreal ascent() const;
    qreal descent() const;
    // The height of the row's ink, as QFontMetrics::boundingRect gives it for the whole row.
    int inkHeight() const;

    // The row's top left at topLeft, inside clip; only characters that reach into dirty.
    void draw(QPainter* painter, const QPointF& topLeft, const QRectF& clip,
              const QRect& dirty) const;
    void drawCaret(QPainter* painter, const QPointF& topLeft, int width) const;

private:
    struct Shape {
        QTextLayout layout;
        QList<QGlyphRun> glyphs; // drawn straight, without laying out again
        qreal width = 0;
        qreal ascent = 0;
        qreal descent = 0;
        QRect ink;
    };
    struct Piece {
        std::shared_ptr<const Shape> shape;
        int start = 0;
        qreal x = 0;
    };
    std::shared_ptr<const Shape> shapeOf(const QString& grapheme);
    void measure();
    void layOutWithPreedit();
    const Shape& lastShape() const;

    QFont m_font;
    QHash<QString, std::shared_ptr<const Shape>> m_shapes; // of this font
    std::shared_ptr<const Shape> m_empty;
    QString m_text;
    QList<Piece> m_pieces;
    qreal m_textWidth = 0;
    qreal m_textAscent = 0;
    qreal m_textDescent = 0;
    int m_inkTop = 0;
    int m_inkBottom = 0;

    QString m_preedit;
    QList<QTextLayout::FormatRange> m_preeditFormats;
    int m_preeditCaret = 0;
    QTextLayout m_withPreedit; // the whole row as one line, while there is a preedit
    int m_preeditInkHeight = 0;
};
