#pragma once

#include "results/RunResult.h"
#include "typing/InputChecker.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class InputBox;
class Problem;
class RunRecord;
class Settings;
class KeyStrokeCounter;
class QLabel;
class TextRows;
class TestHost;
class ProblemView;

// The input window of a test: the input box where the user types the current row, the
// strip of rows already typed, and the result. A new one for every problem.
class InputPane : public QWidget, private InputCheckerView
{
    Q_OBJECT
public:
    InputPane(const Settings& settings, RunRecord& record, QWidget* parent = nullptr);
    ~InputPane() override;

    // The test window around this one and the problem window of the same problem.
    void setHost(TestHost* host) { m_host = host; }
    void setProblemView(ProblemView* problemView);
    // The problem of the run and its information line, both owned by the caller. Without a
    // problem the space bar starts nothing.
    void setProblem(const Problem* problem, const QString* problemSummary);

    void prepareRun();
    void enableInputMethod();

    // Ends the run: scoring, result and menus, then runFinished for the logs. Runs once per
    // run.
    void finishRun();

    // The start: the space bar while the run waits.
    void startRun(QKeyEvent* event);
    // Paste guard and strokes, for every key press in the input box.
    void refusePasteAndCountStroke(QKeyEvent* event);
    // Refused keys, Enter, and the text of ordinary keys.
    void typeKeyText(const QString& text);
    // Text the input method committed: each character checked as if it came alone.
    void typeCommitted(const QString& text);

    bool isProblemDone() const { return m_checker->isProblemDone(); }
    // Started and not yet ended: closing or leaving the window now would lose the run.
    bool runInProgress() const { return m_checker->running(); }
    const InputChecker& checker() const { return *m_checker; }
    // Whether the input method counts as on: no desktop offers a portable answer, so it
    // counts as off from a character that arrives as plain key text, and as on again from
    // its next commit or preedit (and at first).
    bool imeOn() const { return m_imeOn; }

    // Strokes: key presses in the input box.
    int strokes() const { return m_strokes; }

    // Where the pane's rows go, from the test window's layout: as wide as the problem
    // window, the rows under the problem text's, and the problem's row heights to follow.
    struct Rows {
        int width = 0;
        int textLeft = 0;
        int textWidth = 0;
        qreal gapRowHeight = 0;
        qreal textRowHeight = 0;
        int endMarkSize = 10;
    };
    void arrange(const Rows& rows);
    // Row heights unrounded, since a pixel rounded away per row would add up.
    void setRowHeights(qreal gapRowHeight, qreal textRowHeight);
    qreal gapRowHeight() const { return m_gapRowHeight; }
    qreal textRowHeight() const { return m_textRowHeight; }
    int endMarkSize() const { return m_endMarkSize; }

    // The result under the box goes until the next run has ended.
    void hideResult();
    // The input box waits hidden and disabled for the space bar.
    void hideInputBox();
    // The box takes the keys: true while it is shown and enabled.
    bool focusInputBox();
    bool inputBoxHasFocus() const;

    static constexpr int WindowHeight = 180;

    // Distance between two typed rows in the strip, whole pixels.
    int typedRowPitch() const { return m_typedRowPitch; }

Q_SIGNALS:
    // The run is over and scored; its record is not written yet.
    void runFinished(const RunResult& run);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Counts a key press with its status held back, to show with what the key does.
    void countStrokeHeld();
    // What the checker decides, applied to the two windows.
    void appendAccepted(const QString& shown) override;
    void moveRowToTypedRows(const QString& text, bool withEnter, bool scroll) override;
    void moveCursor(qreal x, qreal width) override;
    void showHint(const QString& hint) override;
    void showStatus(const QString& status) override;

    void resetChecker();
    void typeText(const QString& text);
    // Shows what waited for the end of the event's text.
    void showPending();
    // Shows the box's new text or preedit first, a key's echo at once, and the rest soon.
    void showBoxFirst(bool boxChanged);
    void handleEnter();
    // Places the strip of typed rows, the input box and the result label from the fonts:
    // room for a failed run's three result lines under the box, whole rows in the strip.
    void placeRows();
    bool boxTakesKeysOf(quint32 window) const;

    InputBox* m_inputBox = nullptr;
    QWidget* m_inputBoxBack = nullptr;
    TextRows* m_typedRows = nullptr;
    int m_typedRowCount = 0;
    QWidget* m_typedRowsBack = nullptr;
    // Mark size in pixels of the grey end-of-line marks.
    int m_endMarkSize = 10;
    QLabel* m_resultLabel = nullptr;
    // Strokes: key presses in the input box.
    int m_strokes = 0;
    qreal m_gapRowHeight = 0;
    qreal m_textRowHeight = 0;

    const Settings& m_settings;
    RunRecord& m_record;
    const Problem* m_problem = nullptr;
    const QString* m_problemSummary = nullptr;
    TestHost* m_host = nullptr;
    QPointer<ProblemView> m_problemView;
    std::unique_ptr<InputChecker> m_checker;
    std::unique_ptr<KeyStrokeCounter> m_strokeCounter;
    bool m_strokesCountedNatively = false;
    bool m_imeOn = true;
    int m_typedRowPitch = 1;
    // While one event's text is checked, the echo, the status line and the hint wait for its
    // end: each is laid out once per event, however many characters it held.
    bool m_holdingView = false;
    QString m_pendingEcho;
    std::optional<QString> m_pendingStatus;
    std::optional<QString> m_pendingHint;
    std::optional<std::pair<qreal, qreal>> m_pendingCursor; // x and width
    bool m_keyFromKeyboard = false; // the key being handled came from the window system
    bool m_echoAtOnce = false;      // its echo is drawn before anything else it changes
    QTimer m_pendingTimer;
};
