// The layout of the two child windows and the drawing of the problem text.
#include "TestWindow.h"

#include "EndOfLineMark.h"
#include "InputBox.h"
#include "PaintedRows.h"
#include "ProblemLayout.h"
#include "platform/Fonts.h"
#include "problems/Problem.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kHeaderHeight = 48; // m_infoFrame and m_clockFrame
constexpr int kClockFrameWidth = 100;
constexpr int kHintHeight = 30;
constexpr int kMinimumProblemHeight = 200;

int whole(qreal value)
{
    return int(std::lround(value));
}

// Room the frame and title of a child window take around its contents.
QMargins frameMargins(QMdiSubWindow* subWindow)
{
    const QStyle* style = subWindow->style();
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, subWindow);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subWindow);
    return QMargins(frame, title, frame, frame);
}

// Resizes a child window by its outer size; returns the size its contents get.
QSize resizeOuter(QMdiSubWindow* subWindow, QSize outer)
{
    const QMargins margins = frameMargins(subWindow);
    const QSize inner(std::max(1, outer.width() - margins.left() - margins.right()),
                      std::max(1, outer.height() - margins.top() - margins.bottom()));
    subWindow->resize(outer);
    subWindow->widget()->resize(inner);
    return inner;
}

// Makes the problem text taller when the next row would not fit.
void growFor(PaintedRows* problemText, qreal& height, qreal rowHeight)
{
    if (problemText->currentY() + rowHeight > height) {
        height += 100 * rowHeight;
        problemText->resize(problemText->width(), int(std::ceil(height)));
    }
}

// A thin gap row in the row-gap font follows every text row.
void endTextRow(PaintedRows* problemText, qreal& height, const Settings& settings)
{
    problemText->endRow();
    problemText->setFontSize(settings.rowGapFontSize());
    growFor(problemText, height, problemText->textHeight(u" "));
    problemText->endRow();
    problemText->setFontSize(settings.baseFontSize());
}

} // namespace

void TestWindow::placeProblemViewControls(int innerWidth, int innerHeight)
{
    ProblemView* view = m_problemView;
    view->m_clockFrame->setGeometry(innerWidth - kClockFrameWidth, 0, kClockFrameWidth,
                                    kHeaderHeight);
    view->m_infoFrame->setGeometry(0, 0, innerWidth - kClockFrameWidth, kHeaderHeight);
    const int clockTop = kHeaderHeight / 2 - 4;
    view->m_minutesLabel->setGeometry(8, clockTop, 36, 20);
    view->m_colonLabel->setGeometry(46, clockTop, 8, 20);
    view->m_secondsLabel->setGeometry(56, clockTop, 36, 20);
    const int textClipTop = kHeaderHeight + 4;
    const int textClipHeight = std::max(40, innerHeight - textClipTop - kHintHeight);
    view->m_textClip->setGeometry(0, textClipTop, innerWidth, textClipHeight);
    const int hintTop = textClipTop + textClipHeight + 4;
    view->m_hintTitleLabel->setGeometry(4, hintTop, 44, kHintHeight - 8);
    view->m_hintLabel->setGeometry(48, hintTop, innerWidth - 48, kHintHeight - 8);
}

void TestWindow::layoutChildWindows()
{
    if (!m_problemView || !m_inputPane || !m_problemSubWindow || !m_inputSubWindow)
        return;
    ProblemView* view = m_problemView;
    InputPane* input = m_inputPane;
    PaintedRows* problemText = view->m_problemText;

    // Everything is measured in the problem font.
    problemText->clear();
    view->m_textClip->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    problemText->setPrintFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    const qreal cellWidth = std::round(problemText->textWidth(u" "));
    const qreal rowHeight = problemText->textHeight(u" ");

    // The problem window: 82 half-width spaces wide, or one less than the client.
    const QSize client = clientSize();
    const qreal width82Spaces = problemText->textWidth(QString(82, u' '));
    const int problemWidth =
        ProblemLayout::problemWindowWidth(client.width(), width82Spaces, cellWidth);
    // The input window's 180 pixels are its contents; its frame comes on top.
    const QMargins inputFrame = frameMargins(m_inputSubWindow);
    const int inputOuterHeight = InputPane::WindowHeight + inputFrame.top() + inputFrame.bottom();
    const int problemOuterHeight =
        std::max(kMinimumProblemHeight, client.height() - inputOuterHeight);
    const QSize problemInner =
        resizeOuter(m_problemSubWindow, QSize(problemWidth, problemOuterHeight));
    placeProblemViewControls(problemInner.width(), problemInner.height());

    // The text inset from the frame; the now-line and the cursor bar start on the first row.
    problemText->setGeometry(whole(cellWidth / 2), whole(cellWidth / 4),
                             std::max(1, problemWidth - whole(2 * cellWidth)),
                             whole(200 * rowHeight));
    view->m_currentRowLine->setGeometry(0, whole(rowHeight), problemText->width(), 1);
    const int cursorHeight = std::max(1, whole(rowHeight / 4));
    view->m_cursorBar->setGeometry(0, whole(rowHeight) - cursorHeight, view->m_cursorBar->width(),
                                   cursorHeight);

    // The end-of-line mark: the largest not taller than a row.
    view->m_endMarkSize = EndOfLineMark::chooseSize(int(std::floor(rowHeight)));
    input->m_endMarkSize = view->m_endMarkSize;

    // The input window under it, as wide.
    input->m_typedRows->clear();
    resizeOuter(m_inputSubWindow, QSize(problemWidth, inputOuterHeight));
    const int innerWidth = problemInner.width();
    input->m_resultLabel->resize(view->m_textClip->width(), input->m_resultLabel->height());
    input->m_typedRowsBack->resize(innerWidth, input->m_typedRowsBack->height());
    input->m_inputBoxBack->resize(innerWidth, input->m_inputBoxBack->height());
    input->m_typedRows->setPrintFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    input->m_typedRows->setGeometry(problemText->x(), input->m_typedRows->y(), problemText->width(),
                                    input->m_typedRows->height());
    input->m_inputBox->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    QFont resultFont = input->m_resultLabel->font();
    resultFont.setPointSizeF(m_settings.resultFontSize());
    input->m_resultLabel->setFont(resultFont);
    input->m_resultLabel->setAlignment(Qt::AlignCenter);
    // Heights and tops of the strip, the box (two typed rows high) and the result.
    input->placeRows();
    const qreal boxTextHeight = QFontMetricsF(input->m_inputBoxBack->font()).height();
    const int boxTop =
        std::max(0, whole((input->m_inputBoxBack->height() - boxTextHeight - 2) / 2));
    input->m_inputBox->setGeometry(problemText->x(), boxTop, problemText->width(),
                                   std::min(input->m_inputBox->sizeHint().height(),
                                            std::max(1, input->m_inputBoxBack->height() - boxTop)));
    input->m_inputBox->raise();

    // The pair centred in the client area, the input window right under the problem.
    const int left = client.width() / 2 - problemWidth / 2;
    const int top =
        std::max(0, client.height() / 2 - (inputOuterHeight / 2 + problemOuterHeight / 2));
    m_problemSubWindow->move(left, top);
    m_inputSubWindow->move(left, top + problemOuterHeight);

    // Row heights for the input window to follow; unrounded, since a pixel rounded away
    // per row would add up over a long problem.
    problemText->setFontSize(m_settings.rowGapFontSize());
    input->m_gapRowHeight = problemText->textHeight(u" ");
    problemText->setFontSize(m_settings.baseFontSize());
    input->m_textRowHeight = problemText->textHeight(u" ");

    // The clock starts full again, and there is nothing to print yet.
    showDuration();
    m_printAction->setEnabled(false);
}

void TestWindow::drawProblem()
{
    if (!m_problemView || !m_problem)
        return;
    const QPointer<ProblemView> view = m_problemView;
    const QPointer<InputPane> input = m_inputPane;
    const Problem* problem = m_problem.get();
    PaintedRows* problemText = view->m_problemText;

    // Keys typed while the text is drawn would start a run on a half-drawn problem.
    const bool inputWasEnabled = input && input->isEnabled();
    // Disabling moves the focus away; it goes back where it was.
    const QPointer<QWidget> focused = focusWidget();
    if (input)
        input->setEnabled(false);
    m_drawing = true;
    // Events still run between rows, but the text is shown once it is all there: painting
    // it row by row would cost more than the drawing itself.
    problemText->setUpdatesEnabled(false);
    auto finish = [&] {
        m_drawing = false;
        if (view)
            problemText->setUpdatesEnabled(true);
        if (input)
            input->setEnabled(inputWasEnabled);
        if (focused)
            focused->setFocus();
    };

    // Room for 100 rows to begin with; growFor adds more when needed.
    problemText->setFontSize(m_settings.baseFontSize());
    qreal height = 100 * problemText->textHeight(u" ");
    problemText->resize(problemText->width(), int(std::ceil(height)));
    // The base font's measures, the same for every row.
    const qreal rowHeight = problemText->textHeight(u" ");
    const qreal spaceWidth = problemText->textWidth(u" ");
    const qreal innerWidth = problemText->innerWidth();
    const QColor markColor = problemText->foreColor();
    const QString fullWidthSpace = QStringLiteral("\u3000");

    // Events run at every row break, so a long problem does not freeze the window.
    const qint32 lineCount = problem->count();
    for (qint32 lineNumber = 1; lineNumber <= lineCount; ++lineNumber) {
        const ProblemLine& line = problem->line(lineNumber);
        const int count = int(line.count());
        for (int j = 0; j < count; ++j) {
            const QString charText = line.charAt(j + 1).text();
            growFor(problemText, height, rowHeight);
            problemText->print(ProblemLayout::displayText(charText));
            if (ProblemLayout::breaksAfter(j, count, problemText->currentX(),
                                           problemText->textWidth(charText), spaceWidth,
                                           innerWidth)) {
                endTextRow(problemText, height, m_settings);
                QCoreApplication::processEvents();
                // Replace and close actions wait for the drawing; this covers the rest.
                if (!view || m_problem.get() != problem) {
                    finish();
                    return;
                }
            }
        }
        // The mark stands where the next character would, 90 % of a full-width cell.
        const QRectF mark(problemText->currentX(), problemText->currentY(),
                          0.9 * problemText->textWidth(fullWidthSpace),
                          0.9 * problemText->textHeight(fullWidthSpace));
        problemText->paintPicture(mark, [markColor](QPainter& painter, const QRectF& rect) {
            EndOfLineMark::paint(painter, rect, markColor);
        });
        problemText->endRow();
        problemText->setFontSize(m_settings.rowGapFontSize());
        height += problemText->textHeight(u" ");
        problemText->resize(problemText->width(), int(std::ceil(height)));
        problemText->endRow();
        problemText->setFontSize(m_settings.baseFontSize());
    }
    finish();
}
