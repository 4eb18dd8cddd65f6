// The sizes and places of the two child windows in the test window.
#include "TestWindow.h"

#include "ProblemLayout.h"
#include "settings/Settings.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kMinimumProblemHeight = 200;

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

} // namespace

void TestWindow::layoutChildWindows()
{
    if (!m_problemView || !m_inputPane || !m_problemSubWindow || !m_inputSubWindow)
        return;
    ProblemView* view = m_problemView;

    // Everything is measured in the problem font.
    view->useProblemFont();
    const qreal cellWidth = std::round(view->textWidth(u" "));

    // The problem window: 82 half-width spaces wide, or one less than the client.
    const QSize client = clientSize();
    const qreal width82Spaces = view->textWidth(QString(82, u' '));
    const int problemWidth =
        ProblemLayout::problemWindowWidth(client.width(), width82Spaces, cellWidth);
    // The input window's 180 pixels are its contents; its frame comes on top.
    const QMargins inputFrame = frameMargins(m_inputSubWindow);
    const int inputOuterHeight = InputPane::WindowHeight + inputFrame.top() + inputFrame.bottom();
    const int problemOuterHeight =
        std::max(kMinimumProblemHeight, client.height() - inputOuterHeight);
    const QSize problemInner =
        resizeOuter(m_problemSubWindow, QSize(problemWidth, problemOuterHeight));
    view->arrange(problemInner, problemWidth);

    // The input window under it, as wide.
    resizeOuter(m_inputSubWindow, QSize(problemWidth, inputOuterHeight));
    // Row heights for the input window to follow; unrounded, since a pixel rounded away
    // per row would add up over a long problem.
    m_inputPane->arrange({problemInner.width(), view->textLeft(), view->textAreaWidth(),
                          view->rowHeight(m_settings.rowGapFontSize()),
                          view->rowHeight(m_settings.baseFontSize()), view->endMarkSize()});

    // The pair centred in the client area, the input window right under the problem.
    const int left = client.width() / 2 - problemWidth / 2;
    const int top =
        std::max(0, client.height() / 2 - (inputOuterHeight / 2 + problemOuterHeight / 2));
    m_problemSubWindow->move(left, top);
    m_inputSubWindow->move(left, top + problemOuterHeight);

    // The clock starts full again, and there is nothing to print yet.
    showDuration();
    m_printAction->setEnabled(false);
}
