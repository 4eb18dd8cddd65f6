#include "ProblemView.h"

#include "EndOfLineMark.h"
#include "ProblemLayout.h"
#include "TextRows.h"
#include "platform/Fonts.h"
#include "problems/Problem.h"
#include "settings/Settings.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kHeaderHeight = 48; // the information and clock frames
constexpr int kClockFrameWidth = 100;
constexpr int kHintHeight = 30;

int whole(qreal value)
{
    return int(std::lround(value));
}

} // namespace

ProblemView::ProblemView(const Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("ProblemView"));
    setWindowTitle(QStringLiteral("例題"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    const QFont labelFont = Fonts::proportional(9);
    setFont(labelFont);

    m_infoFrame = new QGroupBox(QStringLiteral("例題文の情報"), this);
    m_infoFrame->setObjectName(QStringLiteral("infoFrame"));
    m_infoLabel = new QLabel(QStringLiteral("総文字数"), m_infoFrame);
    m_infoLabel->setObjectName(QStringLiteral("status"));
    m_clockFrame = new QGroupBox(QStringLiteral("残り時間"), this);
    m_minutesLabel = new QLabel(QStringLiteral("0"), m_clockFrame);
    m_colonLabel = new QLabel(QStringLiteral(":"), m_clockFrame);
    m_secondsLabel = new QLabel(QStringLiteral("0"), m_clockFrame);
    m_minutesLabel->setObjectName(QStringLiteral("minutes"));
    m_secondsLabel->setObjectName(QStringLiteral("seconds"));
    m_minutesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_secondsLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_textClip = new QWidget(this);
    m_textClip->setAutoFillBackground(true);
    m_problemText = new TextRows(m_textClip);
    m_problemText->setObjectName(QStringLiteral("problemText"));
    m_problemText->setTextFont(Fonts::fixedPitch(12));

    m_cursorBar = new QFrame(m_problemText);
    m_cursorBar->setObjectName(QStringLiteral("cursorBar"));
    m_cursorBar->setAutoFillBackground(true);
    QPalette cursorPalette = m_cursorBar->palette();
    cursorPalette.setColor(QPalette::Window, QColor(0, 0, 255));
    m_cursorBar->setPalette(cursorPalette);
    m_currentRowLine = new QFrame(m_problemText);
    m_currentRowLine->setObjectName(QStringLiteral("currentRowLine"));
    m_currentRowLine->setAutoFillBackground(true);
    QPalette linePalette = m_currentRowLine->palette();
    linePalette.setColor(QPalette::Window, QColor(255, 0, 0));
    m_currentRowLine->setPalette(linePalette);

    m_hintTitleLabel = new QLabel(QStringLiteral("ヒント"), this);
    m_hintLabel = new QLabel(this);
    m_hintLabel->setObjectName(QStringLiteral("hint"));
    m_hintLabel->setWordWrap(true);

    // Places until the test window gives the window its size.
    m_infoFrame->setGeometry(0, 0, 480, 44);
    m_infoLabel->setGeometry(8, 18, 470, 20);
    m_clockFrame->setGeometry(480, 0, 100, 44);
    m_minutesLabel->setGeometry(8, 18, 36, 20);
    m_colonLabel->setGeometry(46, 18, 8, 20);
    m_secondsLabel->setGeometry(56, 18, 36, 20);
    m_textClip->setGeometry(0, 48, 580, 240);
    m_problemText->setGeometry(0, 0, 560, 240);
    m_hintTitleLabel->setGeometry(0, 292, 60, 20);
    m_hintLabel->setGeometry(64, 292, 516, 20);
    makeStatusLineOpaque();
}

void ProblemView::makeStatusLineOpaque()
{
    // The status line changes with every key: opaque, it is redrawn alone, without the frame
    // around it, in the colour the style gives the frame's inside.
    QImage frame(m_infoFrame->size(), QImage::Format_RGB32);
    frame.fill(palette().color(QPalette::Window));
    m_infoFrame->render(&frame, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QPoint inside = m_infoLabel->geometry().center();
    const QColor insideColor = frame.pixelColor(inside);
    QPalette statusPalette = m_infoLabel->palette();
    statusPalette.setColor(QPalette::Window, insideColor);
    m_infoLabel->setPalette(statusPalette);
    m_infoLabel->setAutoFillBackground(true);
    // Filled, it must stop short of the frame's border, which it used to let show through.
    int right = frame.width() - 1;
    while (right > inside.x() && frame.pixelColor(right, inside.y()) != insideColor)
        --right;
    m_statusBorder = frame.width() - 1 - right;
}

void ProblemView::placeStatusLine(const QRect& geometry)
{
    QRect placed = geometry;
    placed.setRight(std::min(placed.right(), m_infoFrame->width() - 1 - m_statusBorder));
    m_infoLabel->setGeometry(placed);
}

void ProblemView::applyColors()
{
    // A colour that cannot be read falls back to its own default, never black on black.
    const auto orDefault = [](const QColor& color, const QColor& fallback) {
        return color.isValid() ? color : fallback;
    };
    const QColor backColor =
        orDefault(m_settings.problemBackColor(), SettingDefaults::ProblemBackColor);
    const QColor textColor = orDefault(m_settings.problemColor(), SettingDefaults::ProblemColor);
    QPalette backPalette = m_textClip->palette();
    backPalette.setColor(QPalette::Window, backColor);
    m_textClip->setPalette(backPalette);
    m_problemText->setBackColor(backColor);
    m_problemText->setTextColor(textColor);
    m_problemText->lower();
}

void ProblemView::keyPressEvent(QKeyEvent* event)
{
    // A character typed here is lost; the next one goes to the input window.
    if (!event->text().isEmpty()) {
        event->accept();
        Q_EMIT focusWanted();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ProblemView::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    if (!event->commitString().isEmpty())
        Q_EMIT focusWanted();
}

void ProblemView::useProblemFont()
{
    m_problemText->clear();
    m_textClip->setFont(Fonts::fixedPitch(m_settings.baseFontSize()));
    m_problemText->setTextFont(Fonts::fixedPitch(m_settings.baseFontSize()));
}

qreal ProblemView::textWidth(QStringView text) const
{
    return m_problemText->textWidth(text);
}

qreal ProblemView::rowHeight() const
{
    return m_problemText->rowHeight();
}

qreal ProblemView::rowHeight(qreal pointSize) const
{
    return m_problemText->rowHeight(pointSize);
}

int ProblemView::textLeft() const
{
    return m_problemText->x();
}

int ProblemView::textAreaWidth() const
{
    return m_problemText->width();
}

qreal ProblemView::textInnerWidth() const
{
    return m_problemText->width();
}

void ProblemView::arrange(QSize size, int outerWidth)
{
    resize(size);
    placeControls();
    placeText(outerWidth);
}

void ProblemView::placeControls()
{
    const int innerWidth = width();
    m_clockFrame->setGeometry(innerWidth - kClockFrameWidth, 0, kClockFrameWidth, kHeaderHeight);
    m_infoFrame->setGeometry(0, 0, innerWidth - kClockFrameWidth, kHeaderHeight);
    const int clockTop = kHeaderHeight / 2 - 4;
    m_minutesLabel->setGeometry(8, clockTop, 36, 20);
    m_colonLabel->setGeometry(46, clockTop, 8, 20);
    m_secondsLabel->setGeometry(56, clockTop, 36, 20);
    const int textClipTop = kHeaderHeight + 4;
    const int textClipHeight = std::max(40, height() - textClipTop - kHintHeight);
    m_textClip->setGeometry(0, textClipTop, innerWidth, textClipHeight);
    const int hintTop = textClipTop + textClipHeight + 4;
    m_hintTitleLabel->setGeometry(4, hintTop, 44, kHintHeight - 8);
    m_hintLabel->setGeometry(48, hintTop, innerWidth - 48, kHintHeight - 8);
}

void ProblemView::placeText(int outerWidth)
{
    const qreal cellWidth = std::round(textWidth(u" "));
    const qreal height = rowHeight();
    // The text inset from the frame; the now-line and the cursor bar start on the first row.
    m_problemText->setGeometry(whole(cellWidth / 2), whole(cellWidth / 4),
                               std::max(1, outerWidth - whole(2 * cellWidth)), whole(200 * height));
    m_currentRowLine->setGeometry(0, whole(height), m_problemText->width(), 1);
    const int cursorHeight = std::max(1, whole(height / 4));
    m_cursorBar->setGeometry(0, whole(height) - cursorHeight, m_cursorBar->width(), cursorHeight);
    m_endMarkSize = EndOfLineMark::chooseSize(int(std::floor(height)));
}

void ProblemView::drawProblem(const Problem& problem)
{
    TextRows* text = m_problemText;
    // The text is shown once it is all there: painting it row by row would cost more than
    // laying it out.
    text->setUpdatesEnabled(false);

    // Every text row is followed by a thin gap row in the row-gap font. The base font's
    // measures are the same for every row.
    const qreal rowHeight = text->rowHeight();
    const qreal gapHeight = text->rowHeight(m_settings.rowGapFontSize());
    const qreal spaceWidth = text->textWidth(u" ");
    const qreal innerWidth = text->width();
    const QString fullWidthSpace = QStringLiteral("\u3000");
    const QSizeF markSize(0.9 * text->textWidth(fullWidthSpace), 0.9 * rowHeight);

    // Room for 100 rows to begin with, and 100 more whenever the next row would not fit.
    qreal height = 100 * rowHeight;
    text->resize(text->width(), int(std::ceil(height)));
    const auto makeRoomFor = [&](qreal y, qreal rowHeight) {
        if (y + rowHeight > height) {
            height += 100 * rowHeight;
            text->resize(text->width(), int(std::ceil(height)));
        }
    };

    qreal x = 0;
    qreal y = 0;
    for (const ProblemLine& line : problem) {
        const int count = int(line.count());
        for (int j = 0; j < count; ++j) {
            const QString charText = line.charAt(j + 1).text();
            makeRoomFor(y, rowHeight);
            x = text->addText(QPointF(x, y), ProblemLayout::displayText(charText));
            if (ProblemLayout::breaksAfter(j, count, x, text->textWidth(charText), spaceWidth,
                                           innerWidth)) {
                y += rowHeight;
                makeRoomFor(y, gapHeight);
                y += gapHeight;
                x = 0;
            }
        }
        // The mark stands where the next character would, 90 % of a full-width cell.
        text->addMark(QRectF(QPointF(x, y), markSize));
        y += rowHeight;
        height += gapHeight;
        text->resize(text->width(), int(std::ceil(height)));
        y += gapHeight;
        x = 0;
    }
    text->setUpdatesEnabled(true);
}

void ProblemView::showProblemInfo(const QString& caption, const QString& firstCharacter)
{
    const QFontMetricsF metrics(font());
    const qreal captionHeight = metrics.height();
    const ProblemLayout::InfoLineBox box = ProblemLayout::infoLineBox(
        captionHeight, metrics.horizontalAdvance(caption), m_infoFrame->width(),
        m_infoFrame->height(), metrics.height(), 2 * metrics.height());
    m_infoLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_infoLabel->setWordWrap(box.twoRows);
    placeStatusLine(QRect(whole(captionHeight), whole(box.top), m_infoFrame->width(),
                          int(std::ceil(box.height))));
    m_infoLabel->setText(caption);

    // The cursor spans the first character to type.
    const qreal width = textWidth(firstCharacter.isEmpty() ? QStringLiteral(" ") : firstCharacter);
    m_cursorBar->resize(std::max(1, whole(width)), m_cursorBar->height());
}

void ProblemView::showStatus(const QString& status)
{
    m_infoLabel->setText(status);
}

QString ProblemView::status() const
{
    return m_infoLabel->text();
}

void ProblemView::showHint(const QString& hint)
{
    m_hintLabel->setText(hint);
}

QString ProblemView::hint() const
{
    return m_hintLabel->text();
}

void ProblemView::showClock(int minutes, int seconds)
{
    m_minutesLabel->setText(QString::number(minutes));
    m_secondsLabel->setText(QString::number(seconds));
}

void ProblemView::startRows()
{
    m_lineBaseY = m_currentRowLine->y();
    m_textBaseY = m_problemText->y();
    m_rowsDown = 0;
    m_rowsScrolled = 0;
}

void ProblemView::advanceRow(qreal pitch, bool scroll)
{
    ++m_rowsDown;
    m_currentRowLine->move(m_currentRowLine->x(), qRound(m_lineBaseY + m_rowsDown * pitch));
    m_cursorBar->move(0, m_currentRowLine->y() - m_cursorBar->height());
    if (scroll) {
        ++m_rowsScrolled;
        m_problemText->move(m_problemText->x(), qRound(m_textBaseY - m_rowsScrolled * pitch));
    }
}

void ProblemView::placeCursor(qreal x, qreal width)
{
    const int left = qRound(x);
    m_cursorBar->setGeometry(left, m_cursorBar->y(), qMax(1, qRound(x + width) - left),
                             m_cursorBar->height());
}

void ProblemView::setCursorShown(bool shown)
{
    m_cursorBar->setVisible(shown);
    if (shown)
        m_problemText->update();
}

bool ProblemView::isCursorShown() const
{
    return m_cursorBar->isVisible();
}
