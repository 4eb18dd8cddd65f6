#pragma once

#include "typing/RunTrace.h"

#include <QHash>
#include <QString>

#include <functional>

class RunRecord;
class Problem;

// What the checker asks of the screen. The window applies each decision as it comes.
class InputCheckerView
{
public:
    virtual ~InputCheckerView() = default;

    // An accepted character joins the input box (a full-width space as its mark).
    virtual void appendAccepted(const QString& shown) = 0;
    // A finished display row leaves the input box for the strip of typed rows, with the grey
    // end-of-line mark when Enter ended it; the now-line and the cursor go one row down, and
    // the problem scrolls up one row when scroll is set.
    virtual void moveRowToTypedRows(const QString& text, bool withEnter, bool scroll) = 0;
    virtual void moveCursor(qreal x, qreal width) = 0;
    virtual void showHint(const QString& hint) = 0;
    virtual void showStatus(const QString& status) = 0;
};

// The checking of a run: which character is due, what a typed character or Enter does to
// the counters, where rows break and where the cursor stands. No widgets: text widths come
// from the measure given.
class InputChecker
{
public:
    using Measure = std::function<qreal(QStringView)>;
    using InnerWidth = std::function<qreal()>;
    using ImeOn = std::function<bool()>;

    enum class Outcome {
        Ignored,  // not running, or nothing to do
        Accepted, // the row goes on
        RowFull,  // accepted and the row was moved to the typed rows
        LineDone, // accepted, the line is complete and waits for Enter
        Error,    // refused and counted
    };

    InputChecker(int& strokes, InputCheckerView& view);

    // Text widths in the problem's font, and the inner width of the problem text.
    void setMeasure(Measure textWidth, InnerWidth innerWidth);
    // Whether the input method is on, for the hint at double-byte characters.
    void setImeOn(ImeOn imeOn) { m_imeOn = std::move(imeOn); }

    // The space bar before the start: the problem, the record the counters go into, and the
    // problem summary that leads the status line. False when already started.
    bool start(const Problem* problem, RunRecord& record, const QString& problemSummary);
    // One key press in the input box.
    void countStroke();
    // One character (a surrogate pair is one), as if it had arrived alone.
    Outcome typeCharacter(QStringView character);
    // Enter. True when it finished the problem: the caller ends the run.
    bool enter();
    // The run is over; nothing later is checked or counted. False when it already was.
    bool finish();

    bool isProblemDone() const;
    bool running() const { return m_started && !m_finished; }
    bool finished() const { return m_finished; }

    QString statusText() const;
    // What happened at each place of this run, for the review after it.
    const RunTrace& trace() const { return m_trace; }
    RunTrace& trace() { return m_trace; }
    // The hint for the character expected next; imeHint adds the hint for double-byte
    // characters while the input method is off.
    QString hintFor(const QString& next, bool imeHint) const;

    // The form the comparison sees: the character through the Japanese code page and back.
    // Empty when the code page cannot hold it.
    static QString comparable(QStringView character);

    // The display row being typed, as the input box shows it.
    const QString& rowText() const { return m_rowText; }
    qreal cursorX() const { return m_cursorX; }
    qreal cursorWidth() const { return m_cursorWidth; }

    // Where the run stands: the problem line and its character (both from 1), the display
    // row, whether the line waits for its Enter, whether rows scroll.
    int currentLine() const { return m_currentLine; }
    int currentChar() const { return m_currentChar; }
    int currentRow() const { return m_currentRow; }
    bool lineDone() const { return m_lineDone; }
    bool scrolling() const { return m_scrolling; }
    bool started() const { return m_started; }

    static inline const QString FullSpace = QStringLiteral("　");
    static inline const QString FullSpaceMark = QStringLiteral("□");
    static inline const QString DigitZero = QStringLiteral("〇");
    static inline const QString HintFullSpace =
        QStringLiteral("全角スペース（□）が出ない場合は[Shift]キーを押しながらスペースキーです。");
    static inline const QString HintDigitZero =
        QStringLiteral("〇は丸（○）ではなく、数字のゼロです。");
    static inline const QString HintImeOff =
        QStringLiteral("日本語ＩＭＥを漢字入力できるようにしてください");

private:
    int m_currentLine = 1;
    int m_currentChar = 1;
    int m_currentRow = 0;
    bool m_lineDone = false;
    bool m_scrolling = false;
    bool m_started = false;
    qint32 lineCount() const;
    qint32 lineLength(qint32 line) const;
    QString character(qint32 line, qint32 position) const;
    qreal width(const QString& text);
    void endRow(bool withEnter);
    void refreshStatus();
    void showHintFor(const QString& next, bool imeHint);
    void reachLineStart();
    void addAccepted();
    static void bump(int& counter);
    void traceRefusal(QStringView typed);

    RunRecord* m_record = nullptr;
    int& m_strokes;
    InputCheckerView& m_view;
    const Problem* m_problem = nullptr;
    QString m_problemSummary;
    Measure m_measure;
    InnerWidth m_innerWidth;
    ImeOn m_imeOn;
    QHash<QString, qreal> m_charWidths; // one entry per distinct character
    QString m_rowText;
    qreal m_rowWidth = 0;
    qreal m_cursorX = 0;
    qreal m_cursorWidth = 0;
    bool m_finished = false;
    RunTrace m_trace;
};
