#pragma once

#include <QList>
#include <QWidget>

class InputZone;
class PictureBox;
class QLabel;
class TestHost;
class frmReidai;

// The input window of a test: the input box where the user types the current row, the
// echo of the rows already typed, and the result. A new one for every problem.
class frmInput : public QWidget
{
    Q_OBJECT
public:
    explicit frmInput(QWidget* parent = nullptr);
    ~frmInput() override;

    // The test window around this one and the problem window of the same problem.
    void setHost(TestHost* host) { m_host = host; }
    void setReidai(frmReidai* reidai) { m_reidai = reidai; }

    void Form_Load();
    void Form_Activate();

    // Ends the run: scoring, result, menus, logs. Runs once per run.
    void FsubEnd_Syori();

    InputZone* txtInputZone = nullptr;
    QWidget* picInputZoneBack = nullptr;
    PictureBox* picInputAfter = nullptr;
    QWidget* picInputAfterBack = nullptr;
    // Mark size in pixels of the grey end-of-line marks (imgEnterGray(0)).
    int imgEnterGraySize = 10;
    QLabel* lblKekka = nullptr;

    // Strokes: key presses in the input box.
    qint16 pintStloke = 0;
    // Row geometry fixed by the test window's layout: gap row and text row heights.
    qreal lLngKaigyoHeight = 0;
    qreal lLngLineHeight = 0;

    static constexpr int WindowHeight = 180;

private:
    TestHost* m_host = nullptr;
    frmReidai* m_reidai = nullptr;
};
