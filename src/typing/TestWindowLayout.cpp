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
constexpr int kTimeFrameWidth = 100;
constexpr int kHintHeight = 30;
constexpr int kMinimumProblemHeight = 200;

int whole(qreal value)
{
    return int(std::lround(value));
}

// Room the frame and title of a child window take around its contents.
QMargins frameMargins(QMdiSubWindow* sub)
{
    const QStyle* style = sub->style();
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    return QMargins(frame, title, frame, frame);
}

// Resizes a child window by its outer size; returns the size its contents get.
QSize resizeOuter(QMdiSubWindow* sub, QSize outer)
{
    const QMargins margins = frameMargins(sub);
    const QSize inner(std::max(1, outer.width() - margins.left() - margins.right()),
                      std::max(1, outer.height() - margins.top() - margins.bottom()));
    sub->resize(outer);
    sub->widget()->resize(inner);
    return inner;
}

// Makes the problem text taller when the next row would not fit.
void growFor(PaintedRows* pic, qreal& height, qreal rowHeight)
{
    if (pic->currentY() + rowHeight > height) {
        height += 100 * rowHeight;
        pic->resize(pic->width(), int(std::ceil(height)));
    }
}

// A thin gap row of the return font follows every text row.
void endTextRow(PaintedRows* pic, qreal& height, const Settings& settings)
{
    pic->endRow();
    pic->setFontSize(settings.rowGapFontSize());
    growFor(pic, height, pic->textHeight(u" "));
    pic->endRow();
    pic->setFontSize(settings.baseFontSize());
}

} // namespace

void TestWindow::placeProblemViewControls(int innerWidth, int innerHeight)
{
    ProblemView* r = m_problemView;
    r->m_clockFrame->setGeometry(innerWidth - kTimeFrameWidth, 0, kTimeFrameWidth, kHeaderHeight);
    r->m_infoFrame->setGeometry(0, 0, innerWidth - kTimeFrameWidth, kHeaderHeight);
    const int clockTop = kHeaderHeight / 2 - 4;
    r->m_minutesLabel->setGeometry(8, clockTop, 36, 20);
    r->m_colonLabel->setGeometry(46, clockTop, 8, 20);
    r->m_secondsLabel->setGeometry(56, clockTop, 36, 20);
    const int backTop = kHeaderHeight + 4;
    const int backHeight = std::max(40, innerHeight - backTop - kHintHeight);
    r->m_textClip->setGeometry(0, backTop, innerWidth, backHeight);
    const int hintTop = backTop + backHeight + 4;
    r->m_hintTitleLabel->setGeometry(4, hintTop, 44, kHintHeight - 8);
    r->m_hintLabel->setGeometry(48, hintTop, innerWidth - 48, kHintHeight - 8);
}

void TestWindow::layoutChildWindows()
{
    if (!m_problemView || !m_inputPane || !m_problemSubWindow || !m_inputSubWindow)
        return;
    ProblemView* r = m_problemView;
    InputPane* in = m_inputPane;
    PaintedRows* pic = r->m_problemText;

    // Everything is measured in the problem font: c is a half-width cell, h a row.
    pic->clear();
    r->m_textClip->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    pic->setPrintFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    const qreal c = std::round(pic->textWidth(u" "));
    const qreal h = pic->textHeight(u" ");

    // The problem window: 82 half-width spaces wide, or one less than the client.
    const QSize client = clientSize();
    const qreal width82Spaces = pic->textWidth(QString(82, u' '));
    const int problemWidth = ProblemLayout::problemWindowWidth(client.width(), width82Spaces, c);
    // The input window's 180 pixels are its contents; its frame comes on top.
    const QMargins inputFrame = frameMargins(m_inputSubWindow);
    const int inputOuterHeight = InputPane::WindowHeight + inputFrame.top() + inputFrame.bottom();
    const int problemOuterHeight =
        std::max(kMinimumProblemHeight, client.height() - inputOuterHeight);
    const QSize problemInner =
        resizeOuter(m_problemSubWindow, QSize(problemWidth, problemOuterHeight));
    placeProblemViewControls(problemInner.width(), problemInner.height());

    // The text inset from the frame; the now-line and the cursor bar start on the first row.
    pic->setGeometry(whole(c / 2), whole(c / 4), std::max(1, problemWidth - whole(2 * c)),
                     whole(200 * h));
    r->m_currentRowLine->setGeometry(0, whole(h), pic->width(), 1);
    const int cursorHeight = std::max(1, whole(h / 4));
    r->m_cursorBar->setGeometry(0, whole(h) - cursorHeight, r->m_cursorBar->width(), cursorHeight);

    // The end-of-line mark: the largest not taller than a row.
    r->m_endMarkSize = EndOfLineMark::chooseSize(int(std::floor(h)));
    in->m_endMarkSize = r->m_endMarkSize;

    // The input window under it, as wide.
    in->m_typedRows->clear();
    const QSize inputInner = resizeOuter(m_inputSubWindow, QSize(problemWidth, inputOuterHeight));
    const int innerWidth = problemInner.width();
    in->m_resultLabel->resize(r->m_textClip->width(), in->m_resultLabel->height());
    in->m_typedRowsBack->resize(innerWidth, in->m_typedRowsBack->height());
    in->m_inputBoxBack->resize(innerWidth, in->m_inputBoxBack->height());
    in->m_typedRows->setPrintFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    in->m_typedRows->setGeometry(pic->x(), in->m_typedRows->y(), pic->width(),
                                 in->m_typedRows->height());
    in->m_inputBox->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    QFont resultFont = in->m_resultLabel->font();
    resultFont.setPointSizeF(m_settings.resultFontSize());
    in->m_resultLabel->setFont(resultFont);
    in->m_resultLabel->setAlignment(Qt::AlignCenter);
    // Heights and tops of the strip, the box (two echo rows high) and the result.
    in->placeRows();
    const qreal boxText = QFontMetricsF(in->m_inputBoxBack->font()).height();
    const int boxTop = std::max(0, whole((in->m_inputBoxBack->height() - boxText - 2) / 2));
    in->m_inputBox->setGeometry(pic->x(), boxTop, pic->width(),
                                std::min(in->m_inputBox->sizeHint().height(),
                                         std::max(1, in->m_inputBoxBack->height() - boxTop)));
    in->m_inputBox->raise();
    Q_UNUSED(inputInner);

    // The pair centred in the client area, the input window right under the problem.
    const int left = client.width() / 2 - problemWidth / 2;
    const int top =
        std::max(0, client.height() / 2 - (inputOuterHeight / 2 + problemOuterHeight / 2));
    m_problemSubWindow->move(left, top);
    m_inputSubWindow->move(left, top + problemOuterHeight);

    // Row heights for the input window to follow; unrounded, since a pixel rounded away
    // per row would add up over a long problem.
    pic->setFontSize(m_settings.rowGapFontSize());
    in->m_gapRowHeight = pic->textHeight(u" ");
    pic->setFontSize(m_settings.baseFontSize());
    in->m_textRowHeight = pic->textHeight(u" ");

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
    PaintedRows* pic = view->m_problemText;

    // Keys typed while the text is drawn would start a run on a half-drawn problem.
    const bool inputWasEnabled = input && input->isEnabled();
    // Disabling moves the focus away; it goes back where it was.
    const QPointer<QWidget> focused = focusWidget();
    if (input)
        input->setEnabled(false);
    m_drawing = true;
    // Events still run between rows, but the text is shown once it is all there: painting
    // it row by row would cost more than the drawing itself.
    pic->setUpdatesEnabled(false);
    auto finish = [&] {
        m_drawing = false;
        if (view)
            pic->setUpdatesEnabled(true);
        if (input)
            input->setEnabled(inputWasEnabled);
        if (focused)
            focused->setFocus();
    };

    // Room for 100 rows to begin with; growFor adds more when needed.
    pic->setFontSize(m_settings.baseFontSize());
    qreal height = 100 * pic->textHeight(u" ");
    pic->resize(pic->width(), int(std::ceil(height)));
    // The base font's measures, the same for every row.
    const qreal rowHeight = pic->textHeight(u" ");
    const qreal spaceWidth = pic->textWidth(u" ");
    const qreal innerWidth = pic->innerWidth();
    const QColor markColor = pic->foreColor();
    const QString fullWidthSpace = QStringLiteral("\u3000");

    // Events run at every row break, so a long problem does not freeze the window.
    const qint32 lineCount = problem->count();
    for (qint32 l = 1; l <= lineCount; ++l) {
        const ProblemLine& line = problem->item(l);
        const int count = int(line.count());
        for (int j = 0; j < count; ++j) {
            const QString charText = line.item(j + 1).text();
            growFor(pic, height, rowHeight);
            pic->print(ProblemLayout::displayText(charText));
            if (ProblemLayout::breaksAfter(j, count, pic->currentX(), pic->textWidth(charText),
                                           spaceWidth, innerWidth)) {
                endTextRow(pic, height, m_settings);
                QCoreApplication::processEvents();
                // Replace and close actions wait for the drawing; this covers the rest.
                if (!view || m_problem.get() != problem) {
                    finish();
                    return;
                }
            }
        }
        // The mark stands where the next character would, 90 % of a full-width cell.
        const QRectF mark(pic->currentX(), pic->currentY(), 0.9 * pic->textWidth(fullWidthSpace),
                          0.9 * pic->textHeight(fullWidthSpace));
        pic->paintPicture(mark, [markColor](QPainter& painter, const QRectF& rect) {
            EndOfLineMark::paint(painter, rect, markColor);
        });
        pic->endRow();
        pic->setFontSize(m_settings.rowGapFontSize());
        height += pic->textHeight(u" ");
        pic->resize(pic->width(), int(std::ceil(height)));
        pic->endRow();
        pic->setFontSize(m_settings.baseFontSize());
    }
    finish();
}
