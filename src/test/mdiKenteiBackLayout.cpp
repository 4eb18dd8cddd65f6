// The layout of the two child windows and the drawing of the problem text.
#include "mdiKenteiBack.h"

#include "EndOfLineMark.h"
#include "InputZone.h"
#include "PictureBox.h"
#include "ReidaiLayout.h"
#include "app/modPelko.h"
#include "platform/Fonts.h"
#include "problems/colReidai.h"

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

constexpr int kHeaderHeight = 48; // fraMozi and fraTime
constexpr int kTimeFrameWidth = 100;
constexpr int kHintHeight = 30;
constexpr int kMinimumReidaiHeight = 200;

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

// Makes the picture box taller when the next row would not fit.
void growFor(PictureBox* pic, qreal& height, qreal rowHeight)
{
    if (pic->CurrentY() + rowHeight > height) {
        height += 100 * rowHeight;
        pic->resize(pic->width(), int(std::ceil(height)));
    }
}

// A thin gap row of the return font follows every text row.
void endTextRow(PictureBox* pic, qreal& height)
{
    pic->EndRow();
    pic->setFontSize(FontReturn);
    growFor(pic, height, pic->TextHeight(u" "));
    pic->EndRow();
    pic->setFontSize(FontBase);
}

} // namespace

void mdiKenteiBack::placeReidaiControls(int innerWidth, int innerHeight)
{
    frmReidai* r = m_reidai;
    r->fraTime->setGeometry(innerWidth - kTimeFrameWidth, 0, kTimeFrameWidth, kHeaderHeight);
    r->fraMozi->setGeometry(0, 0, innerWidth - kTimeFrameWidth, kHeaderHeight);
    const int clockTop = kHeaderHeight / 2 - 4;
    r->lblMin->setGeometry(8, clockTop, 36, 20);
    r->lblCoron->setGeometry(46, clockTop, 8, 20);
    r->lblSec->setGeometry(56, clockTop, 36, 20);
    const int backTop = kHeaderHeight + 4;
    const int backHeight = std::max(40, innerHeight - backTop - kHintHeight);
    r->picReidaiBack->setGeometry(0, backTop, innerWidth, backHeight);
    const int hintTop = backTop + backHeight + 4;
    r->lblHintTitle->setGeometry(4, hintTop, 44, kHintHeight - 8);
    r->lblHint->setGeometry(48, hintTop, innerWidth - 48, kHintHeight - 8);
}

void mdiKenteiBack::LayoutReidai()
{
    if (!m_reidai || !m_input || !m_reidaiSub || !m_inputSub)
        return;
    frmReidai* r = m_reidai;
    frmInput* in = m_input;
    PictureBox* pic = r->picReidai;

    // 1. to 3.
    pic->Cls();
    r->picReidaiBack->setFont(Fonts::fixedPitch(FontBase));
    pic->setPrintFont(Fonts::fixedPitch(FontBase));
    const qreal c = std::round(pic->TextWidth(u" "));
    const qreal h = pic->TextHeight(u" ");

    // 4. to 6. The problem window: 82 half-width spaces wide, or one less than the client.
    const QSize client = clientSize();
    const qreal w82 = pic->TextWidth(QString(82, u' '));
    const int wr = ReidaiLayout::problemWindowWidth(client.width(), w82, c);
    // The input window's 180 pixels are its contents; its frame comes on top.
    const QMargins inputFrame = frameMargins(m_inputSub);
    const int inputOuterHeight = frmInput::WindowHeight + inputFrame.top() + inputFrame.bottom();
    const int reidaiOuterHeight =
        std::max(kMinimumReidaiHeight, client.height() - inputOuterHeight);
    const QSize reidaiInner = resizeOuter(m_reidaiSub, QSize(wr, reidaiOuterHeight));
    placeReidaiControls(reidaiInner.width(), reidaiInner.height());

    // 7. to 9.
    pic->setGeometry(whole(c / 2), whole(c / 4), std::max(1, wr - whole(2 * c)), whole(200 * h));
    r->linNowLine->setGeometry(0, whole(h), pic->width(), 1);
    const int cursorHeight = std::max(1, whole(h / 4));
    r->shpCursor->setGeometry(0, whole(h) - cursorHeight, r->shpCursor->width(), cursorHeight);

    // 10. to 12. The end-of-line mark: the largest not taller than a row.
    r->imgEnterSize = EndOfLineMark::chooseSize(int(std::floor(h)));
    in->imgEnterGraySize = r->imgEnterSize;

    // 13. to 21. The input window under it, as wide.
    in->picInputAfter->Cls();
    const QSize inputInner = resizeOuter(m_inputSub, QSize(wr, inputOuterHeight));
    const int innerWidth = reidaiInner.width();
    in->lblKekka->resize(r->picReidaiBack->width(), in->lblKekka->height());
    in->picInputAfterBack->resize(innerWidth, in->picInputAfterBack->height());
    in->picInputZoneBack->resize(innerWidth, in->picInputZoneBack->height());
    in->picInputAfter->setPrintFont(Fonts::fixedPitch(FontBase));
    in->picInputAfter->setGeometry(pic->x(), in->picInputAfter->y(), pic->width(),
                                   in->picInputAfter->height());
    in->txtInputZone->setFont(Fonts::fixedPitch(FontBase));
    QFont resultFont = in->lblKekka->font();
    resultFont.setPointSizeF(FontResult);
    in->lblKekka->setFont(resultFont);
    in->lblKekka->setAlignment(Qt::AlignCenter);
    // Heights and tops of the strip, the box (two echo rows high) and the result.
    in->placeRows();
    const qreal boxText = QFontMetricsF(in->picInputZoneBack->font()).height();
    const int boxTop = std::max(0, whole((in->picInputZoneBack->height() - boxText - 2) / 2));
    in->txtInputZone->setGeometry(pic->x(), boxTop, pic->width(),
                                  std::min(in->txtInputZone->sizeHint().height(),
                                           std::max(1, in->picInputZoneBack->height() - boxTop)));
    in->txtInputZone->raise();
    Q_UNUSED(inputInner);

    // 22. The pair centred in the client area, the input window right under the problem.
    const int left = client.width() / 2 - wr / 2;
    const int top =
        std::max(0, client.height() / 2 - (inputOuterHeight / 2 + reidaiOuterHeight / 2));
    m_reidaiSub->move(left, top);
    m_inputSub->move(left, top + reidaiOuterHeight);

    // 23. Row heights for the input window to follow; unrounded, since a pixel rounded away
    // per row would add up over a long problem.
    pic->setFontSize(FontReturn);
    in->lLngKaigyoHeight = pic->TextHeight(u" ");
    pic->setFontSize(FontBase);
    in->lLngLineHeight = pic->TextHeight(u" ");

    // 24.
    ShowLastTime();
    mnuPrint->setEnabled(false);
}

void mdiKenteiBack::DrawReidai()
{
    if (!m_reidai || !objReidai)
        return;
    const QPointer<frmReidai> reidai = m_reidai;
    const QPointer<frmInput> input = m_input;
    const colReidai* problem = objReidai.get();
    PictureBox* pic = reidai->picReidai;

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
        if (reidai)
            pic->setUpdatesEnabled(true);
        if (input)
            input->setEnabled(inputWasEnabled);
        if (focused)
            focused->setFocus();
    };

    // 1.
    pic->setFontSize(FontBase);
    qreal height = 100 * pic->TextHeight(u" ");
    pic->resize(pic->width(), int(std::ceil(height)));
    // The base font's measures, the same for every row.
    const qreal rowHeight = pic->TextHeight(u" ");
    const qreal spaceWidth = pic->TextWidth(u" ");
    const qreal innerWidth = pic->ScaleWidth();
    const QColor markColor = pic->foreColor();
    const QString fullWidthSpace = QStringLiteral("\u3000");

    // 2.
    const qint32 lineCount = problem->Count();
    for (qint32 l = 1; l <= lineCount; ++l) {
        const colReidaiLine& line = problem->Item(l);
        const int count = int(line.Count());
        for (int j = 0; j < count; ++j) {
            const QString mozi = line.Item(j + 1).Mozi();
            growFor(pic, height, rowHeight);
            pic->Print(ReidaiLayout::displayText(mozi));
            if (ReidaiLayout::breaksAfter(j, count, pic->CurrentX(), pic->TextWidth(mozi),
                                          spaceWidth, innerWidth)) {
                endTextRow(pic, height);
                QCoreApplication::processEvents();
                // Replace and close actions wait for the drawing; this covers the rest.
                if (!reidai || objReidai.get() != problem) {
                    finish();
                    return;
                }
            }
        }
        // The mark stands where the next character would, 90 % of a full-width cell.
        const QRectF mark(pic->CurrentX(), pic->CurrentY(), 0.9 * pic->TextWidth(fullWidthSpace),
                          0.9 * pic->TextHeight(fullWidthSpace));
        pic->PaintPicture(mark, [markColor](QPainter& painter, const QRectF& rect) {
            EndOfLineMark::paint(painter, rect, markColor);
        });
        pic->EndRow();
        pic->setFontSize(FontReturn);
        height += pic->TextHeight(u" ");
        pic->resize(pic->width(), int(std::ceil(height)));
        pic->EndRow();
        pic->setFontSize(FontBase);
    }
    finish();
}
