#include "ProblemView.h"

#include "PaintedRows.h"
#include "platform/Fonts.h"
#include "settings/Settings.h"

#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

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
    m_infoLabel = new QLabel(QStringLiteral("総文字数"), m_infoFrame);
    m_clockFrame = new QGroupBox(QStringLiteral("残り時間"), this);
    m_minutesLabel = new QLabel(QStringLiteral("0"), m_clockFrame);
    m_colonLabel = new QLabel(QStringLiteral(":"), m_clockFrame);
    m_secondsLabel = new QLabel(QStringLiteral("0"), m_clockFrame);
    m_minutesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_secondsLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_textClip = new QWidget(this);
    m_textClip->setAutoFillBackground(true);
    m_problemText = new PaintedRows(m_textClip);
    m_problemText->setPrintFont(Fonts::fixedPitch(12));

    m_cursorBar = new QFrame(m_problemText);
    m_cursorBar->setAutoFillBackground(true);
    QPalette cursorPalette = m_cursorBar->palette();
    cursorPalette.setColor(QPalette::Window, QColor(0, 0, 255));
    m_cursorBar->setPalette(cursorPalette);
    m_currentRowLine = new QFrame(m_problemText);
    m_currentRowLine->setAutoFillBackground(true);
    QPalette linePalette = m_currentRowLine->palette();
    linePalette.setColor(QPalette::Window, QColor(255, 0, 0));
    m_currentRowLine->setPalette(linePalette);

    m_hintTitleLabel = new QLabel(QStringLiteral("ヒント"), this);
    m_hintLabel = new QLabel(this);
    m_hintLabel->setWordWrap(true);

    // Fixed geometry until the test window's layout places everything.
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
    m_problemText->setForeColor(textColor);
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
