#include "InputChecker.h"

#include "common/Cp932.h"
#include "common/NumericText.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"

#include <limits>

InputChecker::InputChecker(int& strokes, InputCheckerView& view) : m_strokes(strokes), m_view(view)
{
}

void InputChecker::setMeasure(Measure textWidth, InnerWidth innerWidth)
{
    m_measure = std::move(textWidth);
    m_innerWidth = std::move(innerWidth);
    m_charWidths.clear();
}

qint32 InputChecker::lineCount() const
{
    return m_problem ? m_problem->count() : 0;
}

qint32 InputChecker::lineLength(qint32 line) const
{
    return line >= 1 && line <= lineCount() ? m_problem->line(line).count() : 0;
}

QString InputChecker::character(qint32 line, qint32 position) const
{
    return m_problem->line(line).charAt(position).text();
}

qreal InputChecker::width(const QString& text)
{
    if (!m_measure)
        return 0;
    auto it = m_charWidths.constFind(text);
    if (it == m_charWidths.cend())
        it = m_charWidths.insert(text, m_measure(text));
    return it.value();
}

// Counters are 16-bit; they stop at the top instead of turning negative.
void InputChecker::bump(int& counter)
{
    if (counter < RunRecord::CountLimit)
        ++counter;
}

QString InputChecker::statusText() const
{
    using NumericText::formatWhole;
    const int accepted = m_record->acceptedChars();
    return m_problemSummary + u"  ストローク:" + formatWhole(m_strokes) + u"  入力:" +
           formatWhole(accepted) + u'/' + formatWhole(accepted + m_record->errors());
}

void InputChecker::refreshStatus()
{
    m_view.showStatus(statusText());
}

QString InputChecker::hintFor(const QString& next, bool imeHint) const
{
    if (next == FullSpace)
        return HintFullSpace;
    if (next == DigitZero)
        return HintDigitZero;
    if (imeHint && m_imeOn && !m_imeOn()) {
        const auto code = Cp932::codeOf(next);
        if (code && *code > 0xFF)
            return HintImeOff;
    }
    return QString();
}

void InputChecker::showHintFor(const QString& next, bool imeHint)
{
    m_view.showHint(hintFor(next, imeHint));
}

QString InputChecker::comparable(QStringView character)
{
    const Cp932::Encoded encoded = Cp932::encode(character);
    if (!encoded.ok)
        return QString();
    const Cp932::Decoded decoded = Cp932::decode(encoded.bytes);
    return decoded.ok ? decoded.text : QString();
}

void InputChecker::addAccepted()
{
    int accepted = m_record->acceptedChars();
    bump(accepted);
    m_record->setAcceptedChars(accepted);
}

bool InputChecker::start(const Problem* problem, RunRecord& record, const QString& problemSummary)
{
    if (m_started || m_finished)
        return false;
    m_started = true;
    // Every character and every line end can become a place.
    m_trace.start(problem ? qsizetype(problem->totalChars()) + problem->count() : 0);
    m_record = &record;
    m_problem = problem;
    m_problemSummary = problemSummary;
    m_currentChar = 1;
    m_currentLine = 1;
    m_currentRow = 1;
    m_rowText.clear();
    m_rowWidth = 0;
    m_cursorX = 0;
    if (lineCount() >= 1 && lineLength(1) == 0) {
        // An empty first line is passed with Enter like any other empty line; without this
        // nothing could ever be typed.
        reachLineStart();
    } else if (lineCount() >= 1) {
        m_cursorWidth = width(character(1, 1));
        showHintFor(character(1, 1), false);
    }
    return true;
}

void InputChecker::countStroke()
{
    if (!running())
        return;
    bump(m_strokes);
    m_trace.countStroke();
    refreshStatus();
}

// The start of line m_currentLine: an empty line, or one whose first character does not fit,
// is passed with Enter alone and counts as one character.
void InputChecker::reachLineStart()
{
    const qreal innerWidth = m_innerWidth ? m_innerWidth() : 0;
    if (lineLength(m_currentLine) == 0 || width(character(m_currentLine, 1)) > innerWidth) {
        m_cursorWidth = width(FullSpace);
        m_view.moveCursor(m_cursorX, m_cursorWidth);
        m_lineDone = true;
        addAccepted();
        refreshStatus();
        return;
    }
    const QString first = character(m_currentLine, 1);
    m_cursorWidth = width(first);
    m_view.moveCursor(m_cursorX, m_cursorWidth);
    showHintFor(first, false);
}

bool InputChecker::enter()
{
    if (!running() || !m_lineDone)
        return false;
    m_lineDone = false;
    m_trace.accept(m_currentLine, lineLength(m_currentLine) + 1, QString(), 0);
    endRow(true);
    m_currentChar = 1;
    ++m_currentLine;
    if (isProblemDone())
        return true;
    reachLineStart();
    return false;
}

InputChecker::Outcome InputChecker::typeCharacter(QStringView typed)
{
    if (!running() || typed.isEmpty() || m_currentLine > lineCount())
        return Outcome::Ignored;
    const qint32 length = lineLength(m_currentLine);
    const bool matches =
        m_currentChar <= length && comparable(typed) == character(m_currentLine, m_currentChar);
    if (!matches) {
        int errors = m_record->errors();
        bump(errors);
        m_record->setErrors(errors);
        traceRefusal(typed);
        refreshStatus();
        return Outcome::Error;
    }

    const ProblemChar& due = m_problem->line(m_currentLine).charAt(m_currentChar);
    const QString accepted = due.text();
    m_trace.accept(m_currentLine, m_currentChar, accepted, due.charClass());
    const QString shown = accepted == FullSpace ? FullSpaceMark : accepted;
    const qreal shownWidth = width(shown);
    m_view.appendAccepted(shown);
    m_rowText += shown;
    m_rowWidth += shownWidth;
    if (m_currentRow > 5)
        m_scrolling = true;
    ++m_currentChar;

    if (m_currentChar > length) {
        m_lineDone = true;
        m_cursorX += shownWidth;
        m_cursorWidth = width(FullSpace);
        m_view.moveCursor(m_cursorX, m_cursorWidth);
        return Outcome::LineDone;
    }

    const QString next = character(m_currentLine, m_currentChar);
    const qreal innerWidth = m_innerWidth ? m_innerWidth() : 0;
    // The display breaks a row where the next character and one half-width space would no
    // longer fit; the typed rows follow it row for row.
    if (m_rowWidth + width(next) + width(QStringLiteral(" ")) > innerWidth) {
        endRow(false);
        m_cursorWidth = width(next);
        m_view.moveCursor(m_cursorX, m_cursorWidth);
        m_lineDone = false;
        addAccepted();
        refreshStatus();
        // The hint follows the expected character across a row break too.
        showHintFor(next, true);
        return Outcome::RowFull;
    }

    m_cursorX += shownWidth;
    m_cursorWidth = width(next);
    m_view.moveCursor(m_cursorX, m_cursorWidth);
    addAccepted();
    refreshStatus();
    showHintFor(next, true);
    return Outcome::Accepted;
}

// Past the line's last character Enter is due, and the refusal is a miss of the line end.
void InputChecker::traceRefusal(QStringView typed)
{
    if (m_currentChar > lineLength(m_currentLine)) {
        m_trace.refuse(m_currentLine, lineLength(m_currentLine) + 1, QString(), 0, typed);
        return;
    }
    const ProblemChar& due = m_problem->line(m_currentLine).charAt(m_currentChar);
    m_trace.refuse(m_currentLine, m_currentChar, due.text(), due.charClass(), typed);
}

void InputChecker::endRow(bool withEnter)
{
    const bool scroll = m_scrolling;
    m_view.moveRowToTypedRows(m_rowText, withEnter, scroll);
    m_rowText.clear();
    m_rowWidth = 0;
    ++m_currentRow;
    m_cursorX = 0;
    if (m_currentRow > 5)
        m_scrolling = true;
}

bool InputChecker::isProblemDone() const
{
    const qint32 count = lineCount();
    if (m_currentLine > count)
        return true;
    if (m_currentLine == count)
        return lineLength(count) < m_currentChar;
    return false;
}

bool InputChecker::finish()
{
    if (m_finished)
        return false;
    m_finished = true;
    return true;
}
