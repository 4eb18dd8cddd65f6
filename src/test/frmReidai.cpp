#include "frmReidai.h"

#include "PictureBox.h"
#include "app/modPelko.h"
#include "platform/Fonts.h"
#include "settings/ColorLiteral.h"
#include "settings/clsKankyo.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>

frmReidai::frmReidai(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmReidai"));
    setWindowTitle(QStringLiteral("例題"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    const QFont labelFont = Fonts::proportional(9);
    setFont(labelFont);

    fraMozi = new QGroupBox(QStringLiteral("例題文の情報"), this);
    lblReidaiInfo = new QLabel(QStringLiteral("総文字数"), fraMozi);
    fraTime = new QGroupBox(QStringLiteral("残り時間"), this);
    lblMin = new QLabel(QStringLiteral("0"), fraTime);
    lblCoron = new QLabel(QStringLiteral(":"), fraTime);
    lblSec = new QLabel(QStringLiteral("0"), fraTime);
    lblMin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSec->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    picReidaiBack = new QWidget(this);
    picReidaiBack->setAutoFillBackground(true);
    picReidai = new PictureBox(picReidaiBack);
    picReidai->setPrintFont(Fonts::fixedPitch(12));

    shpCursor = new QFrame(picReidai);
    shpCursor->setAutoFillBackground(true);
    QPalette cursorPalette = shpCursor->palette();
    cursorPalette.setColor(QPalette::Window, QColor(0, 0, 255));
    shpCursor->setPalette(cursorPalette);
    linNowLine = new QFrame(picReidai);
    linNowLine->setAutoFillBackground(true);
    QPalette linePalette = linNowLine->palette();
    linePalette.setColor(QPalette::Window, QColor(255, 0, 0));
    linNowLine->setPalette(linePalette);

    lblHintTitle = new QLabel(QStringLiteral("ヒント"), this);
    lblHint = new QLabel(QStringLiteral("Label1"), this);
    lblHint->setWordWrap(true);

    // Fixed geometry until the test window's layout places everything.
    fraMozi->setGeometry(0, 0, 480, 44);
    lblReidaiInfo->setGeometry(8, 18, 470, 20);
    fraTime->setGeometry(480, 0, 100, 44);
    lblMin->setGeometry(8, 18, 36, 20);
    lblCoron->setGeometry(46, 18, 8, 20);
    lblSec->setGeometry(56, 18, 36, 20);
    picReidaiBack->setGeometry(0, 48, 580, 240);
    picReidai->setGeometry(0, 0, 560, 240);
    lblHintTitle->setGeometry(0, 292, 60, 20);
    lblHint->setGeometry(64, 292, 516, 20);
}

void frmReidai::Form_Load()
{
    const QColor back = ColorLiteral::toColor(objKankyo->ProblemBackColor());
    const QColor fore = ColorLiteral::toColor(objKankyo->ProblemColor());
    QPalette backPalette = picReidaiBack->palette();
    backPalette.setColor(QPalette::Window, back);
    picReidaiBack->setPalette(backPalette);
    picReidai->setBackColor(back);
    picReidai->setForeColor(fore);
    picReidai->lower();
}

void frmReidai::keyPressEvent(QKeyEvent* event)
{
    // A character typed here is lost; the next one goes to the input window.
    if (!event->text().isEmpty()) {
        event->accept();
        Q_EMIT focusWanted();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmReidai::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    if (!event->commitString().isEmpty())
        Q_EMIT focusWanted();
}
