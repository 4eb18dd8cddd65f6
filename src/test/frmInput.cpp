#include "frmInput.h"

#include "EndOfLineMark.h"
#include "InputZone.h"
#include "KeyStrokeCounter.h"
#include "PictureBox.h"
#include "ReidaiLayout.h"
#include "Scoring.h"
#include "TestHost.h"
#include "app/modPelko.h"
#include "frmReidai.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "problems/colReidai.h"
#include "results/clsLogWriter.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace
{

const QColor EchoBack(192, 192, 192);
const QColor EchoText(128, 128, 128);

void fill(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

// Code points of the text in order; a surrogate pair stays one character.
template <typename F> void forEachCharacter(const QString& text, F&& f)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        if (!f(QStringView(text).mid(i, n)))
            return;
        i += n;
    }
}

// Acceptance runs drive the program through a real input method and read the live status
// line, the box and its place from this file; unset in normal use.
void dumpForAcceptance(const frmReidai* reidai, const InputZone* box)
{
    static const QString path = qEnvironmentVariable("PELKO_E2E_STATUS_FILE");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QPoint centre = box->mapToGlobal(box->rect().center());
    const QString status = reidai ? reidai->lblReidaiInfo->text() : QString();
    const QString text = u"status=" + status + u"\nbox=" + box->text() + u"\ncentre=" +
                         QString::number(centre.x()) + u',' + QString::number(centre.y()) + u'\n';
    file.write(text.toUtf8());
    file.commit();
}

} // namespace

frmInput::frmInput(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("入力ウィンドウ"));
    setFocusPolicy(Qt::StrongFocus);
    // The window takes the space bar as a plain key before the start, so no input method
    // may turn it into a conversion.
    setAttribute(Qt::WA_InputMethodEnabled, false);

    picInputAfterBack = new QWidget(this);
    fill(picInputAfterBack, EchoText);
    picInputAfter = new PictureBox(picInputAfterBack);
    picInputAfter->setPrintFont(Fonts::fixedPitch(FontBase));
    picInputAfter->setBackColor(EchoBack);
    picInputAfter->setForeColor(EchoText);

    picInputZoneBack = new QWidget(this);
    fill(picInputZoneBack, Qt::white);
    txtInputZone = new InputZone(picInputZoneBack);
    txtInputZone->setFont(Fonts::fixedPitch(FontBase));

    lblKekka = new QLabel(this);
    lblKekka->setFont(Fonts::proportional(FontResult));
    lblKekka->setAlignment(Qt::AlignCenter);
    lblKekka->hide();

    // Places until the test window's layout sets them.
    resize(580, WindowHeight);
    picInputAfterBack->setGeometry(0, 0, 580, 96);
    picInputAfter->setGeometry(10, 96 - 20, 560, 96);
    picInputZoneBack->setGeometry(0, 100, 580, 40);
    txtInputZone->setGeometry(10, 8, 560, 24);
    lblKekka->setGeometry(0, 140, 580, 40);
    placeRows();

    connect(txtInputZone, &InputZone::keyDown, this, &frmInput::txtInputZone_KeyDown);
    connect(txtInputZone, &InputZone::keyPress, this, &frmInput::txtInputZone_KeyPress);
    connect(txtInputZone, &InputZone::committed, this, &frmInput::txtInputZone_Commit);
    connect(txtInputZone, &InputZone::inputMethodUsed, this, [this] { m_imeOn = true; });

    m_strokeCounter = std::make_unique<KeyStrokeCounter>([this] { return boxHasFocus(); },
                                                         [this] {
                                                             if (m_checker)
                                                                 m_checker->countStroke();
                                                         });
    m_nativeStrokes = m_strokeCounter->install();

    resetChecker();
}

frmInput::~frmInput() = default;

void frmInput::placeRows()
{
    constexpr int gap = 4; // between the strip and the box
    const qreal echoRow = picInputAfter->TextHeight(u" ");
    m_echoPitch = std::max(1, int(std::ceil(echoRow)));
    const int boxHeight = std::max(1, int(std::lround(2 * echoRow)));
    const int resultHeight = 3 * lblKekka->fontMetrics().lineSpacing() + 6;
    const ReidaiLayout::InputWindowRows rows =
        ReidaiLayout::inputWindowRows(height(), m_echoPitch, boxHeight, resultHeight, gap);

    const int strip = rows.stripRows * m_echoPitch;
    picInputAfterBack->setGeometry(picInputAfterBack->x(), rows.stripTop,
                                   picInputAfterBack->width(), strip);
    picInputAfterBack->setVisible(rows.stripRows > 0);
    // The first row is printed at the bottom of the strip.
    picInputAfter->setGeometry(picInputAfter->x(), strip - m_echoPitch, picInputAfter->width(),
                               std::max(strip, m_echoPitch));
    picInputZoneBack->setGeometry(picInputZoneBack->x(), rows.boxTop, picInputZoneBack->width(),
                                  boxHeight);
    lblKekka->setGeometry(lblKekka->x(), rows.resultTop, lblKekka->width(), rows.resultHeight);
}

bool frmInput::boxHasFocus() const
{
    // Keys that go to an open menu or a modal box are not typed into the input box.
    return txtInputZone->isEnabled() && QApplication::focusWidget() == txtInputZone &&
           !QApplication::activePopupWidget() && !QApplication::activeModalWidget();
}

void frmInput::setReidai(frmReidai* reidai)
{
    m_reidai = reidai;
    resetChecker();
}

void frmInput::resetChecker()
{
    InputCheckerView& view = *this;
    m_checker = std::make_unique<InputChecker>(pintStloke, view);
    QPointer<frmReidai> reidai = m_reidai;
    m_checker->setMeasure(
        [reidai](QStringView text) { return reidai ? reidai->picReidai->TextWidth(text) : 0.0; },
        [reidai] { return reidai ? reidai->picReidai->ScaleWidth() : 0.0; });
    m_checker->setImeOn([this] { return m_imeOn; });
    m_rowsDown = 0;
    m_rowsScrolled = 0;
}

void frmInput::Form_Load()
{
    resetChecker();
    pintStloke = 0;
    resize(width(), WindowHeight);
}

void frmInput::Form_Activate()
{
    // Qt offers no switch to a given conversion mode; asking for no Latin preference and
    // enabling the input method is what a toolkit client can do.
    txtInputZone->setInputMethodHints(Qt::ImhNone);
    txtInputZone->setAttribute(Qt::WA_InputMethodEnabled, true);
    if (txtInputZone->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints | Qt::ImEnabled);
}

void frmInput::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !m_checker->Started) {
        Form_KeyDown(event);
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmInput::Form_KeyDown(QKeyEvent* event)
{
    if (event)
        event->accept();
    if (!objUser || !m_checker->start(objReidai.get(), *objUser, ReidaiInfo))
        return;
    if (m_reidai) {
        m_lineBaseY = m_reidai->linNowLine->y();
        m_reidaiBaseY = m_reidai->picReidai->y();
    }
    txtInputZone->setEnabled(true);
    txtInputZone->setVisible(true);
    txtInputZone->setFocus(Qt::OtherFocusReason);
    if (m_host) {
        m_host->startCountdown();
        m_host->setTimeMenuEnabled(false);
    }
    dumpForAcceptance(m_reidai, txtInputZone);
}

void frmInput::txtInputZone_KeyDown(QKeyEvent* event)
{
    if (!m_checker->running())
        return;
    if (event->key() == Qt::Key_V && event->modifiers() == Qt::ControlModifier) {
        QGuiApplication::clipboard()->clear();
        MsgBox(QStringLiteral("ズルしないでね"), MsgButtons::Ok, QStringLiteral("注意"),
               MsgIcon::Exclamation);
    }
    // On X11 the press was already counted when the window system delivered it.
    if (!m_nativeStrokes)
        m_checker->countStroke();
}

void frmInput::txtInputZone_KeyPress(const QString& text)
{
    if (text == u"\r") {
        enterKey();
        return;
    }
    // Characters from plain keys: the input method is off.
    bool printable = false;
    forEachCharacter(text, [&](QStringView c) {
        printable = printable || c.at(0).unicode() >= 0x20;
        return true;
    });
    if (!printable)
        return; // Backspace, Tab, line feed and control keys do nothing
    m_imeOn = false;
    typeText(text);
}

void frmInput::txtInputZone_Commit(const QString& text)
{
    m_imeOn = true;
    typeText(text);
}

void frmInput::typeText(const QString& text)
{
    forEachCharacter(text, [this](QStringView c) {
        if (!m_checker->running())
            return false;
        const char16_t u = c.at(0).unicode();
        if (u == u'\r')
            enterKey();
        else if (u >= 0x20 && u != 0x7f)
            m_checker->typeCharacter(c);
        return true;
    });
}

void frmInput::enterKey()
{
    if (!m_checker->enter())
        return;
    const QString minutes = m_reidai ? m_reidai->lblMin->text() : QString();
    const QString seconds = m_reidai ? m_reidai->lblSec->text() : QString();
    objUser->setUseTime(Scoring::UseTimeAtFinish(objKankyo->LastTime(), minutes, seconds));
    FsubEnd_Syori();
}

void frmInput::echoCharacter(const QString& shown)
{
    txtInputZone->appendAccepted(shown);
    dumpForAcceptance(m_reidai, txtInputZone);
}

void frmInput::printInputRow(const QString& text, bool withEnter, bool scroll)
{
    // Rows a whole pitch apart, the newest at the bottom of a strip of whole rows: the rows
    // the strip shows are never cut.
    const int index = qRound(picInputAfter->CurrentY() / m_echoPitch);
    const int strip = picInputAfterBack->height();
    picInputAfter->setGeometry(picInputAfter->x(), strip - (index + 1) * m_echoPitch,
                               picInputAfter->width(),
                               std::max(strip, m_echoPitch) + index * m_echoPitch);
    picInputAfter->Print(text);
    if (withEnter) {
        const QRectF rect(picInputAfter->CurrentX(), picInputAfter->CurrentY(), imgEnterGraySize,
                          imgEnterGraySize);
        const QColor color = picInputAfter->foreColor();
        picInputAfter->PaintPicture(rect, [color](QPainter& painter, const QRectF& r) {
            EndOfLineMark::paint(painter, r, color);
        });
    }
    picInputAfter->setCurrentX(0);
    picInputAfter->setCurrentY((index + 1) * m_echoPitch);
    txtInputZone->clearRow();
    dumpForAcceptance(m_reidai, txtInputZone);

    if (!m_reidai)
        return;
    const qreal pitch = lLngKaigyoHeight + lLngLineHeight;
    ++m_rowsDown;
    QFrame* line = m_reidai->linNowLine;
    line->move(line->x(), qRound(m_lineBaseY + m_rowsDown * pitch));
    QFrame* cursor = m_reidai->shpCursor;
    cursor->move(0, line->y() - cursor->height());
    if (scroll) {
        ++m_rowsScrolled;
        QWidget* picture = m_reidai->picReidai;
        picture->move(picture->x(), qRound(m_reidaiBaseY - m_rowsScrolled * pitch));
    }
}

void frmInput::moveCursor(qreal x, qreal width)
{
    if (!m_reidai)
        return;
    QFrame* cursor = m_reidai->shpCursor;
    const int left = qRound(x);
    cursor->setGeometry(left, cursor->y(), qMax(1, qRound(x + width) - left), cursor->height());
}

void frmInput::showHint(const QString& hint)
{
    if (m_reidai)
        m_reidai->lblHint->setText(hint);
}

void frmInput::showStatus(const QString& status)
{
    if (m_reidai)
        m_reidai->lblReidaiInfo->setText(status);
    dumpForAcceptance(m_reidai, txtInputZone);
}

void frmInput::FsubEnd_Syori()
{
    // An input method may commit its preedit while the box below is open; the run is over
    // before that can be checked or counted.
    if (!m_checker->finish())
        return;
    if (m_host)
        m_host->stopCountdown();
    MsgBox(QStringLiteral("お疲れ様でした"), MsgButtons::Ok, QStringLiteral("終了"),
           MsgIcon::Information);

    const Scoring::Result result = Scoring::Score(objUser->InpMozisu(), objUser->ErrCount(),
                                                  objUser->UseTime(), objKankyo->Speed());
    objUser->setSeidaritu(result.Seidaritu);
    objUser->setInpSpeed(result.InpSpeed);

    QPalette palette = lblKekka->palette();
    if (result.passed) {
        if (objKankyo->SortMode() == u"SEQUENCE" && m_host)
            m_host->showNextProblemMenu();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        if (objUser->KenteiON() && m_host)
            m_host->enablePrintMenus();
    } else {
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    }
    lblKekka->setPalette(palette);
    QString caption = result.caption;
    lblKekka->setText(caption.replace(u'\r', u'\n'));
    lblKekka->setVisible(true);
    lblKekka->raise();
    txtInputZone->setEnabled(false);

    clsLogWriter writer;
    writer.ErrCount = objUser->ErrCount();
    writer.Filename = objReidai ? objReidai->Filename() : QString();
    writer.InpMozisu = objUser->InpMozisu();
    writer.InpSpeed = objUser->InpSpeed();
    writer.Eisu = objReidai ? objReidai->Eisu() : 0;
    writer.KanziKigo = objReidai ? objReidai->KanziKigo() : 0;
    writer.PC_NAME = objUser->PC_NAME();
    writer.PC_USER = objUser->PC_UserID();
    writer.Seidaritu = objUser->Seidaritu();
    writer.SouMozisu = objReidai ? objReidai->SouMozisu() : 0;
    writer.UserID = objUser->UserID();
    writer.UserName = objUser->UserName();
    writer.UseTime = objUser->UseTime();
    writer.LogPath = objKankyo->LogPath();
    writer.LogName = objKankyo->LogName();
    writer.SubLogPath = objKankyo->SubLogPath();
    writer.SubLogName = objKankyo->SubLogName();
    writer.LogStyle = objKankyo->LogStyle();
    const qint16 failed = writer.LogWrite(objKankyo->SubLog());
    objUser->setLogNumber(writer.LogNumber);
    if (failed != 0)
        MsgBox(QStringLiteral("ログが正常に書き込めませんでした"), MsgButtons::Ok,
               QStringLiteral("ログ書き込みエラー"), MsgIcon::None);
}
