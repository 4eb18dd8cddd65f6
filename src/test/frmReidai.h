#pragma once

#include <QList>
#include <QRectF>
#include <QWidget>

class PictureBox;
class QFrame;
class QGroupBox;
class QLabel;

// The problem text window of a test: the drawn problem with its cursor bar and now-line,
// the information and status line, the clock and the hint. A new one for every problem.
class frmReidai : public QWidget
{
    Q_OBJECT
public:
    explicit frmReidai(QWidget* parent = nullptr);

    // Applies the colour settings.
    void Form_Load();

    QGroupBox* fraMozi = nullptr;
    QLabel* lblReidaiInfo = nullptr;
    QGroupBox* fraTime = nullptr;
    QLabel* lblMin = nullptr;
    QLabel* lblCoron = nullptr;
    QLabel* lblSec = nullptr;
    QWidget* picReidaiBack = nullptr; // clips the problem text
    PictureBox* picReidai = nullptr;  // the problem text; scrolls by moving up
    // Children of picReidai, drawn over the text and scrolling with it.
    QFrame* shpCursor = nullptr;  // bar over the lower quarter of the next character's cell
    QFrame* linNowLine = nullptr; // rule under the current row
    // imgEnter(0) is the chosen mark size in pixels; the marks placed in the text are the
    // pictures of picReidai.
    int imgEnterSize = 10;
    QLabel* lblHintTitle = nullptr;
    QLabel* lblHint = nullptr;

Q_SIGNALS:
    // A key was typed here; the input window should take the focus.
    void focusWanted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
