#pragma once

#include <QWidget>

class Problem;
class QFrame;
class QGroupBox;
class QLabel;
class Settings;
class TextRows;

// The problem text window of a test: the drawn problem with its cursor bar and now-line,
// the information and status line, the clock and the hint. A new one for every problem.
class ProblemView : public QWidget
{
    Q_OBJECT
public:
    explicit ProblemView(const Settings& settings, QWidget* parent = nullptr);

    void applyColors();

    // Sets the problem font and forgets what was drawn; measures are taken in it from here.
    void useProblemFont();
    // Takes the size and places the controls: the header, the text area inset from a window
    // outerWidth wide, the hint.
    void arrange(QSize size, int outerWidth);
    qreal textWidth(QStringView text) const;
    // Height of one row in the current drawing font.
    qreal rowHeight() const;
    // Height of a row in the given point size of the problem font.
    qreal rowHeight(qreal pointSize) const;
    int textLeft() const;
    int textAreaWidth() const;
    // Width a row may fill before it breaks.
    qreal textInnerWidth() const;
    // The chosen end-of-line mark size in pixels: the largest not taller than a row.
    int endMarkSize() const { return m_endMarkSize; }

    // Draws the whole problem, row by row, as the checker breaks rows while typing.
    void drawProblem(const Problem& problem);
    // The information line (problem summary, strokes, input) placed for its caption's length,
    // and the cursor over the first character.
    void showProblemInfo(const QString& caption, const QString& firstCharacter);

    void showStatus(const QString& status);
    QString status() const;
    void showHint(const QString& hint);
    QString hint() const;
    void showClock(int minutes, int seconds);

    // The now-line and cursor start on the first row; rows move them by whole pitches from
    // there, so no rounding builds up.
    void startRows();
    // The now-line one row down; the text scrolls up one row when asked.
    void advanceRow(qreal pitch, bool scroll);
    void placeCursor(qreal x, qreal width);
    void setCursorShown(bool shown);
    bool isCursorShown() const;

Q_SIGNALS:
    // A key was typed here; the input window should take the focus.
    void focusWanted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void makeStatusLineOpaque();
    // The status line's place inside its frame, short of the frame's border.
    void placeStatusLine(const QRect& geometry);
    void placeControls();
    void placeText(int outerWidth);

    const Settings& m_settings;
    QGroupBox* m_infoFrame = nullptr;
    QLabel* m_infoLabel = nullptr;
    QGroupBox* m_clockFrame = nullptr;
    QLabel* m_minutesLabel = nullptr;
    QLabel* m_colonLabel = nullptr;
    QLabel* m_secondsLabel = nullptr;
    QWidget* m_textClip = nullptr;     // clips the problem text
    TextRows* m_problemText = nullptr; // the problem text; scrolls by moving up
    // Children of m_problemText, drawn over the text and scrolling with it.
    QFrame* m_cursorBar = nullptr;      // bar over the lower quarter of the next character's cell
    QFrame* m_currentRowLine = nullptr; // rule under the current row
    QLabel* m_hintTitleLabel = nullptr;
    QLabel* m_hintLabel = nullptr;
    int m_endMarkSize = 10;
    int m_statusBorder = 0; // the frame's right border, in pixels
    qreal m_lineBaseY = 0;
    qreal m_textBaseY = 0;
    int m_rowsDown = 0;
    int m_rowsScrolled = 0;
};
