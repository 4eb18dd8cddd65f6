#pragma once

#include <QList>
#include <QRect>
#include <QString>

// The rules by which the test window lays out and wraps a problem, apart from any widget:
// row breaks, window widths and placement, the information line.
namespace ProblemLayout
{

// Whether a row ends after the character at position (0-based) of a line of lineLength
// characters, once it is printed and the drawing position is x. The character just printed
// stands in for the next one, one half-width space stays free at the right edge, and a line
// is never broken after its last character.
bool breaksAfter(int position, int lineLength, qreal x, qreal charWidth, qreal spaceWidth,
                 qreal innerWidth);

// Lengths of the display rows a line of characters with these widths is drawn in.
QList<int> rowLengths(const QList<qreal>& widths, qreal spaceWidth, qreal innerWidth);

// What is drawn for a problem character: the full-width space shows as "□".
QString displayText(const QString& character);

// Width of the problem window: 82 half-width spaces, or one space less than a narrower
// client area.
int problemWindowWidth(qreal clientWidth, qreal width82Spaces, qreal spaceWidth);

// Where the test window goes in the work area (backgroundMode 0: windowPercent percent of
// the work area, at least 600 pixels high where the work area allows; 1 or 2: maximised;
// other values as 0).
struct Placement {
    QRect geometry;
    bool maximised = false;
};
Placement placeWindow(const QRect& workArea, int backgroundMode, int windowPercent);

// The composition text of a problem: total characters and the kanji, alphanumeric and
// half-width rates in whole percent, rounded down.
QString problemSummary(int totalChars, int kanjiOrSymbolChars, int alphanumericChars,
                       int halfWidthChars);
// The whole percentage part/total, rounded down; 0 for an empty problem.
int ratePercent(int part, int total);

// The information line's label inside its frame: one row vertically centred on the frame's
// lower part, or two rows at the bottom when the text does not fit the frame's width.
struct InfoLineBox {
    qreal top = 0;
    qreal height = 0;
    bool twoRows = false;
};
InfoLineBox infoLineBox(qreal captionHeight, qreal textWidth, qreal frameWidth, qreal frameHeight,
                        qreal oneRowHeight, qreal twoRowHeight);

// The input window from top to bottom: the strip of typed rows, the input box, the result
// label. The box and the label come first and never overlap; the strip, right above the
// box, takes as many whole rows as fit in what is left, so no row is ever shown cut.
struct InputWindowRows {
    int stripTop = 0;
    int stripRows = 0;
    int boxTop = 0;
    int resultTop = 0;
    int resultHeight = 0;
};
InputWindowRows inputWindowRows(int windowHeight, int rowPitch, int boxHeight, int resultHeight,
                                int gap);

} // namespace ProblemLayout
