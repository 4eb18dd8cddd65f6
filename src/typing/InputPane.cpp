#include "InputPane.h"

#include "InputBox.h"
#include "KeyStrokeCounter.h"
#include "ProblemLayout.h"
#include "ProblemView.h"
#include "Scoring.h"
#include "TestHost.h"
#include "TextRows.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLabel>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

const QColor TypedRowsBackColor(192, 192, 192);
const QColor TypedRowsTextColor(128, 128, 128);

void fillBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

// Code points of the text in order; a surrogate pair stays one character.
template <typename Visit> void forEachCharacter(const QString& text, Visit&& visit)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        if (!visit(QStringView(text).mid(i, length)))
            return;
        i += length;
    }
}

// Acceptance runs drive the program through a real input method and read the live status
// line, the box and its place from this file; unset in normal use.
void dumpForAcceptance(const ProblemView* problemView, const InputBox* box)
{
    static const QString path = qEnvironmentVariable("PELKO_E2E_STATUS_FILE");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QPoint centre = box->mapToGlobal(box->rect().center());
    const QString status = problemView ? problemView->status() : QString();
    const QString text = u"status=" + status + u"\nbox=" + box->text() + u"\ncentre=" +
                         QString::number(centre.x()) + u',' + QString::number(centre.y()) + u'\n';
    file.write(text.toUtf8());
    file.commit();
}

} // namespace

InputPane::InputPane(const Settings& settings, RunRecord& record, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_record(record)
{
    setObjectName(QStringLiteral("InputPane"));
    setWindowTitle(QStringLiteral("入力ウィンドウ"));
    setFocusPolicy(Qt::StrongFocus);
    // The window takes the space bar as a plain key before the start, so no input method
    // may turn it into a conversion.
    setAttribute(Qt::WA_InputMethodEnabled, false);

    m_typedRowsBack = new QWidget(this);
    m_typedRowsBack->setObjectName(QStringLiteral("typedRowsBack"));
    fillBackground(m_typedRowsBack, TypedRowsTextColor);
    m_typedRows = new TextRows(m_typedRowsBack);
    m_typedRows->setObjectName(QStringLiteral("typedRows"));
    m_typedRows->setTextFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    m_typedRows->setBackColor(TypedRowsBackColor);
    m_typedRows->setTextColor(TypedRowsTextColor);

    m_inputBoxBack = new QWidget(this);
    m_inputBoxBack->setObjectName(QStringLiteral("inputBoxBack"));
    fillBackground(m_inputBoxBack, Qt::white);
    m_inputBox = new InputBox(m_inputBoxBack);
    m_inputBox->setObjectName(QStringLiteral("inputBox"));
    m_inputBox->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));

    m_resultLabel = new QLabel(this);
    m_resultLabel->setObjectName(QStringLiteral("result"));
    m_resultLabel->setFont(Fonts::proportional(m_settings.resultFontSize()));
    m_resultLabel->setAlignment(Qt::AlignCenter);
    m_resultLabel->hide();

    // Places until the test window's layout sets them.
    resize(580, WindowHeight);
    m_typedRowsBack->setGeometry(0, 0, 580, 96);
    m_typedRows->setGeometry(10, 96 - 20, 560, 96);
    m_inputBoxBack->setGeometry(0, 100, 580, 40);
    m_inputBox->setGeometry(10, 8, 560, 24);
    m_resultLabel->setGeometry(0, 140, 580, 40);
    placeRows();

    connect(m_inputBox, &InputBox::keyDown, this, &InputPane::refusePasteAndCountStroke);
    connect(m_inputBox, &InputBox::keyPress, this, &InputPane::typeKeyText);
    connect(m_inputBox, &InputBox::committed, this, &InputPane::typeCommitted);
    connect(m_inputBox, &InputBox::inputMethodUsed, this, [this] {
        m_imeOn = true;
        showBoxFirst(true); // the preedit or the commit
    });

    // A key counted as the window system delivers it reaches the box, or the input method,
    // moments later: its count is shown at most half a frame after the press, after what the
    // key does in the box. Half, so that it is drawn before a fast typist's next key.
    m_pendingTimer.setSingleShot(true);
    m_pendingTimer.setInterval(8);
    connect(&m_pendingTimer, &QTimer::timeout, this, &InputPane::showPending);
    m_strokeCounter = std::make_unique<KeyStrokeCounter>(
        [this](quint32 window) { return boxTakesKeysOf(window); },
        [this] {
            if (m_checker)
                countStrokeHeld();
        });
    m_strokesCountedNatively = m_strokeCounter->install();

    resetChecker();
}

InputPane::~InputPane() = default;

void InputPane::arrange(const Rows& rows)
{
    m_endMarkSize = rows.endMarkSize;
    m_typedRows->clear();
    m_typedRowCount = 0;
    m_resultLabel->resize(rows.width, m_resultLabel->height());
    m_typedRowsBack->resize(rows.width, m_typedRowsBack->height());
    m_inputBoxBack->resize(rows.width, m_inputBoxBack->height());
    m_typedRows->setTextFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    m_typedRows->setGeometry(rows.textLeft, m_typedRows->y(), rows.textWidth,
                             m_typedRows->height());
    m_inputBox->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    QFont resultFont = m_resultLabel->font();
    resultFont.setPointSizeF(m_settings.resultFontSize());
    m_resultLabel->setFont(resultFont);
    m_resultLabel->setAlignment(Qt::AlignCenter);
    // Heights and tops of the strip, the box (two typed rows high) and the result.
    placeRows();
    const qreal boxTextHeight = QFontMetricsF(m_inputBoxBack->font()).height();
    const int boxTop =
        std::max(0, int(std::lround((m_inputBoxBack->height() - boxTextHeight - 2) / 2)));
    m_inputBox->setGeometry(
        rows.textLeft, boxTop, rows.textWidth,
        std::min(m_inputBox->sizeHint().height(), std::max(1, m_inputBoxBack->height() - boxTop)));
    m_inputBox->raise();
    setRowHeights(rows.gapRowHeight, rows.textRowHeight);
}

void InputPane::setRowHeights(qreal gapRowHeight, qreal textRowHeight)
{
    m_gapRowHeight = gapRowHeight;
    m_textRowHeight = textRowHeight;
}

void InputPane::hideResult()
{
    m_resultLabel->hide();
}

void InputPane::hideInputBox()
{
    m_inputBox->hide();
    m_inputBox->setEnabled(false);
}

bool InputPane::focusInputBox()
{
    if (!m_inputBox->isVisibleTo(this) || !m_inputBox->isEnabled())
        return false;
    m_inputBox->setFocus();
    return true;
}

bool InputPane::inputBoxHasFocus() const
{
    return QApplication::focusWidget() == m_inputBox;
}

void InputPane::placeRows()
{
    constexpr int gap = 4; // between the strip and the box
    const qreal typedRowHeight = m_typedRows->rowHeight();
    m_typedRowPitch = std::max(1, int(std::ceil(typedRowHeight)));
    const int boxHeight = std::max(1, int(std::lround(2 * typedRowHeight)));
    const int resultHeight = 3 * m_resultLabel->fontMetrics().lineSpacing() + 6;
    const ProblemLayout::InputWindowRows rows =
        ProblemLayout::inputWindowRows(height(), m_typedRowPitch, boxHeight, resultHeight, gap);

    const int stripHeight = rows.stripRows * m_typedRowPitch;
    m_typedRowsBack->setGeometry(m_typedRowsBack->x(), rows.stripTop, m_typedRowsBack->width(),
                                 stripHeight);
    m_typedRowsBack->setVisible(rows.stripRows > 0);
    // The first row is printed at the bottom of the strip.
    m_typedRows->setGeometry(m_typedRows->x(), stripHeight - m_typedRowPitch, m_typedRows->width(),
                             std::max(stripHeight, m_typedRowPitch));
    m_inputBoxBack->setGeometry(m_inputBoxBack->x(), rows.boxTop, m_inputBoxBack->width(),
                                boxHeight);
    m_resultLabel->setGeometry(m_resultLabel->x(), rows.resultTop, m_resultLabel->width(),
                               rows.resultHeight);
}

bool InputPane::boxTakesKeysOf(quint32 window) const
{
    // The window the press is for decides, not the application's focus: without a window
    // manager the test window gets keys without ever becoming active. Keys that go to an
    // open menu or a modal box are not typed into the input box.
    const QWidget* target = QWidget::find(WId(window));
    const QWidget* testWindow = m_inputBox->window();
    return target && target->window() == testWindow && m_inputBox->isEnabled() &&
           testWindow->focusWidget() == m_inputBox && !QApplication::activePopupWidget() &&
           !QApplication::activeModalWidget();
}

void InputPane::setProblem(const Problem* problem, const QString* problemSummary)
{
    m_problem = problem;
    m_problemSummary = problemSummary;
}

void InputPane::setProblemView(ProblemView* problemView)
{
    m_problemView = problemView;
    resetChecker();
}

void InputPane::resetChecker()
{
    InputCheckerView& view = *this;
    m_checker = std::make_unique<InputChecker>(m_strokes, view);
    QPointer<ProblemView> problemView = m_problemView;
    m_checker->setMeasure(
        [problemView](QStringView text) {
            return problemView ? problemView->textWidth(text) : 0.0;
        },
        [problemView] { return problemView ? problemView->textInnerWidth() : 0.0; });
    m_checker->setImeOn([this] { return m_imeOn; });
}

void InputPane::prepareRun()
{
    resetChecker();
    m_strokes = 0;
    resize(width(), WindowHeight);
}

void InputPane::enableInputMethod()
{
    // Qt offers no switch to a given conversion mode; asking for no Latin preference and
    // enabling the input method is what a toolkit client can do.
    m_inputBox->setInputMethodHints(Qt::ImhNone);
    m_inputBox->setAttribute(Qt::WA_InputMethodEnabled, true);
    if (m_inputBox->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints | Qt::ImEnabled);
}

void InputPane::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !m_checker->started()) {
        startRun(event);
        return;
    }
    QWidget::keyPressEvent(event);
}

void InputPane::startRun(QKeyEvent* event)
{
    if (event)
        event->accept();
    // No problem loaded: nothing to time.
    if (!m_problem ||
        !m_checker->start(m_problem, m_record, m_problemSummary ? *m_problemSummary : QString()))
        return;
    if (m_problemView)
        m_problemView->startRows();
    m_inputBox->setEnabled(true);
    m_inputBox->setVisible(true);
    m_inputBox->setFocus(Qt::OtherFocusReason);
    if (m_host) {
        m_host->startCountdown();
        m_host->setDurationMenuEnabled(false);
    }
    dumpForAcceptance(m_problemView, m_inputBox);
}

void InputPane::refusePasteAndCountStroke(QKeyEvent* event)
{
    m_keyFromKeyboard = event->spontaneous();
    if (!m_checker->running())
        return;
    if (event->key() == Qt::Key_V && event->modifiers() == Qt::ControlModifier) {
        QGuiApplication::clipboard()->clear();
        showMessage(QStringLiteral("ズルしないでね"), MessageButtons::Ok, QStringLiteral("注意"),
                    MessageIcon::Warning);
    }
    // On X11 the press was already counted when the window system delivered it.
    if (!m_strokesCountedNatively)
        countStrokeHeld();
}

void InputPane::countStrokeHeld()
{
    const bool holding = std::exchange(m_holdingView, true);
    m_checker->countStroke();
    m_holdingView = holding;
    if (m_pendingStatus && !m_pendingTimer.isActive())
        m_pendingTimer.start();
}

void InputPane::typeKeyText(const QString& text)
{
    const bool fromKeyboard = std::exchange(m_keyFromKeyboard, false);
    if (text == u"\r") {
        showPending();
        handleEnter();
        return;
    }
    // Characters from plain keys: the input method is off.
    bool printable = false;
    forEachCharacter(text, [&](QStringView c) {
        printable = printable || c.at(0).unicode() >= 0x20;
        return true;
    });
    if (!printable) {
        showPending(); // Backspace, Tab, line feed and control keys do nothing but count
        return;
    }
    m_imeOn = false;
    m_echoAtOnce = fromKeyboard;
    typeText(text);
    m_echoAtOnce = false;
}

void InputPane::typeCommitted(const QString& text)
{
    m_keyFromKeyboard = false;
    m_imeOn = true;
    typeText(text);
}

void InputPane::typeText(const QString& text)
{
    m_holdingView = true;
    forEachCharacter(text, [this](QStringView c) {
        if (!m_checker->running())
            return false;
        const char16_t code = c.at(0).unicode();
        if (code == u'\r') {
            // The end of the run opens a box: the windows must be up to date behind it.
            showPending();
            handleEnter();
            m_holdingView = true;
        } else if (code >= 0x20 && code != 0x7f) {
            m_checker->typeCharacter(c);
        }
        return true;
    });
    showBoxFirst(false);
}

void InputPane::showBoxFirst(bool boxChanged)
{
    m_holdingView = false;
    if (!m_pendingEcho.isEmpty()) {
        m_inputBox->appendAccepted(std::exchange(m_pendingEcho, QString()));
        if (m_echoAtOnce)
            m_inputBox->drawNow();
        boxChanged = true;
    }
    if (!boxChanged) {
        showPending();
        return;
    }
    dumpForAcceptance(m_problemView, m_inputBox);
    // The problem's cursor, the status line and the hint follow soon after: sent with
    // the box, they would keep a busy display server from showing the box until it had
    // drawn them too. The timer is never pushed back, so fast keys cannot starve them.
    if (m_pendingCursor || m_pendingStatus || m_pendingHint) {
        if (!m_pendingTimer.isActive())
            m_pendingTimer.start();
    }
}

void InputPane::showPending()
{
    m_holdingView = false;
    m_pendingTimer.stop();
    const bool changed = !m_pendingEcho.isEmpty() || m_pendingStatus || m_pendingHint;
    if (!m_pendingEcho.isEmpty())
        m_inputBox->appendAccepted(std::exchange(m_pendingEcho, QString()));
    if (m_problemView && m_pendingCursor)
        m_problemView->placeCursor(m_pendingCursor->first, m_pendingCursor->second);
    m_pendingCursor.reset();
    if (m_problemView && m_pendingStatus)
        m_problemView->showStatus(*m_pendingStatus);
    if (m_problemView && m_pendingHint)
        m_problemView->showHint(*m_pendingHint);
    m_pendingStatus.reset();
    m_pendingHint.reset();
    if (changed)
        dumpForAcceptance(m_problemView, m_inputBox);
}

void InputPane::handleEnter()
{
    if (!m_checker->enter())
        return;
    m_record.setSecondsUsed(Scoring::secondsUsedAtFinish(m_settings.durationMinutes(),
                                                         m_host ? m_host->secondsLeft() : 0));
    finishRun();
}

void InputPane::appendAccepted(const QString& shown)
{
    if (m_holdingView) {
        m_pendingEcho += shown;
        return;
    }
    m_inputBox->appendAccepted(shown);
    dumpForAcceptance(m_problemView, m_inputBox);
}

void InputPane::moveRowToTypedRows(const QString& text, bool withEnter, bool scroll)
{
    // Rows a whole pitch apart, the newest at the bottom of a strip of whole rows: the rows
    // the strip shows are never cut.
    const int index = m_typedRowCount++;
    const int stripHeight = m_typedRowsBack->height();
    m_typedRows->setGeometry(m_typedRows->x(), stripHeight - (index + 1) * m_typedRowPitch,
                             m_typedRows->width(),
                             std::max(stripHeight, m_typedRowPitch) + index * m_typedRowPitch);
    const qreal top = index * m_typedRowPitch;
    const qreal end = m_typedRows->addText(QPointF(0, top), text);
    if (withEnter)
        m_typedRows->addMark(QRectF(end, top, m_endMarkSize, m_endMarkSize));
    m_pendingEcho.clear(); // it belonged to the row just moved
    m_inputBox->clearRow();
    dumpForAcceptance(m_problemView, m_inputBox);

    if (m_problemView)
        m_problemView->advanceRow(m_gapRowHeight + m_textRowHeight, scroll);
}

void InputPane::moveCursor(qreal x, qreal width)
{
    if (m_holdingView) {
        m_pendingCursor = std::pair(x, width);
        return;
    }
    m_pendingCursor.reset();
    if (m_problemView)
        m_problemView->placeCursor(x, width);
}

void InputPane::showHint(const QString& hint)
{
    if (m_holdingView) {
        m_pendingHint = hint;
        return;
    }
    m_pendingHint.reset(); // older than this one
    if (m_problemView)
        m_problemView->showHint(hint);
}

void InputPane::showStatus(const QString& status)
{
    if (m_holdingView) {
        m_pendingStatus = status;
        return;
    }
    m_pendingStatus.reset(); // older than this one
    if (m_problemView)
        m_problemView->showStatus(status);
    dumpForAcceptance(m_problemView, m_inputBox);
}

void InputPane::finishRun()
{
    // An input method may commit its preedit while the box below is open; the run is over
    // before that can be checked or counted.
    if (!m_checker->finish())
        return;
    if (m_host)
        m_host->stopCountdown();
    showMessage(QStringLiteral("お疲れ様でした"), MessageButtons::Ok, QStringLiteral("終了"),
                MessageIcon::Information);

    const Scoring::Result result = Scoring::score(m_record.acceptedChars(), m_record.errors(),
                                                  m_record.secondsUsed(), m_settings.passSpeed());
    m_record.setAccuracy(result.accuracy);
    m_record.setCharsPerMinute(result.charsPerMinute);

    QPalette palette = m_resultLabel->palette();
    if (result.passed) {
        if (m_settings.problemOrder() == ProblemOrder::Sequence && m_host)
            m_host->showNextProblemMenu();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        if (m_record.isCertification() && m_host)
            m_host->enablePrintMenus();
    } else {
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    }
    m_resultLabel->setPalette(palette);
    QString caption = result.caption;
    m_resultLabel->setText(caption.replace(u'\r', u'\n'));
    m_resultLabel->setVisible(true);
    m_resultLabel->raise();
    m_inputBox->setEnabled(false);

    Q_EMIT runFinished(RunResult::of(m_record, m_problem));
}
