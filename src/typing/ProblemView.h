#pragma once

#include <QList>
#include <QRectF>
#include <QWidget>

class PaintedRows;
class QFrame;
class QGroupBox;
class QLabel;
class Settings;

// The problem text window of a test: the drawn problem with its cursor bar and now-line,
// the information and status line, the clock and the hint. A new one for every problem.
class ProblemView : public QWidget
{
    Q_OBJECT
public:
    explicit ProblemView(const Settings& settings, QWidget* parent = nullptr);

    void applyColors();
    // The status line's place inside its frame, short of the frame's border.
    void placeStatusLine(const QRect& geometry);

    QGroupBox* m_infoFrame = nullptr;
    QLabel* m_infoLabel = nullptr;
    QGroupBox* m_clockFrame = nullptr;
    QLabel* m_minutesLabel = nullptr;
    QLabel* m_colonLabel = nullptr;
    QLabel* m_secondsLabel = nullptr;
    QWidget* m_textClip = nullptr;        // clips the problem text
    PaintedRows* m_problemText = nullptr; // the problem text; scrolls by moving up
    // Children of m_problemText, drawn over the text and scrolling with it.
    QFrame* m_cursorBar = nullptr;      // bar over the lower quarter of the next character's cell
    QFrame* m_currentRowLine = nullptr; // rule under the current row
    // The chosen mark size in pixels; the marks placed in the text are the
    // pictures of m_problemText.
    int m_endMarkSize = 10;
    QLabel* m_hintTitleLabel = nullptr;
    QLabel* m_hintLabel = nullptr;

Q_SIGNALS:
    // A key was typed here; the input window should take the focus.
    void focusWanted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void makeStatusLineOpaque();
    const Settings& m_settings;
    int m_statusBorder = 0; // the frame's right border, in pixels
};
