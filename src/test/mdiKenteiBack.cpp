#include "mdiKenteiBack.h"

#include "Countdown.h"
#include "InputZone.h"
#include "PictureBox.h"
#include "ReidaiLayout.h"
#include "app/PelkoArt.h"
#include "app/frmSentaku.h"
#include "app/frmVer.h"
#include "app/modPelko.h"
#include "common/NumericText.h"
#include "common/PelkoError.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "platform/ShowHelp.h"
#include "problems/colReidai.h"
#include "results/clsPrintOut.h"
#include "results/clsUser.h"
#include "results/frmPrinterSelect.h"
#include "results/frmRanking.h"
#include "settings/ColorLiteral.h"
#include "settings/clsKankyo.h"
#include "settings/frmChangeTime.h"
#include "settings/frmDir.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace
{

const QString kErrorTitle = QStringLiteral("エラー");

} // namespace

mdiKenteiBack& mdiKenteiBack::instance()
{
    static mdiKenteiBack* window = new mdiKenteiBack;
    return *window;
}

mdiKenteiBack::mdiKenteiBack() : QMainWindow(nullptr)
{
    setObjectName(QStringLiteral("mdiKenteiBack"));
    mdiArea = new QMdiArea(this);
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);

    picPelko = new QLabel(mdiArea->viewport());
    picPelko->setObjectName(QStringLiteral("picPelko"));
    picPelko->setFixedSize(85, 85);
    picPelko->setPixmap(logoPixmap(85, devicePixelRatioF()));
    picPelko->lower();
    mdiArea->viewport()->installEventFilter(this);

    timLastTime = new QTimer(this);
    timLastTime->setInterval(1000);
    connect(timLastTime, &QTimer::timeout, this, &mdiKenteiBack::timLastTime_Timer);
    timCursor = new QTimer(this);
    timCursor->setInterval(500);
    connect(timCursor, &QTimer::timeout, this, &mdiKenteiBack::timCursor_Timer);

    buildMenus();
}

void mdiKenteiBack::buildMenus()
{
    mnuKentei = menuBar()->addMenu(QStringLiteral("検定(&N)"));
    mnuStop = mnuKentei->addAction(QStringLiteral("やり直し(&E)"));
    mnuStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuEnd = mnuKentei->addAction(QStringLiteral("閉じる(&C)"));
    mnuEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    mnuKentei->addSeparator();
    mnuPrint = mnuKentei->addAction(QStringLiteral("結果の印刷(&P)"));
    mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuPrinter_select = mnuKentei->addAction(QStringLiteral("プリンタの選択"));

    mnuOption = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    QMenu* timeMenu = mnuOption->addMenu(QStringLiteral("時間の設定(&T)"));
    mnuTime = timeMenu->menuAction();
    mnuMin = timeMenu->addAction(QStringLiteral("１分"));
    mnuMin->setCheckable(true);
    mnuMin->setChecked(true);
    mnuRanking = mnuOption->addAction(QStringLiteral("ランキング情報"));

    mnuProblem = menuBar()->addMenu(QStringLiteral("問題"));
    mnuProblemList.append(mnuProblem->addAction(QStringLiteral("問題0")));

    mnuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    mnuHelp_index = mnuHelp->addAction(QStringLiteral("目次"));
    mnuHelp->addSeparator();
    mnuVersion = mnuHelp->addAction(QStringLiteral("バージョン情報"));

    mnuNext = menuBar()->addAction(QStringLiteral("次の問題へ(&N)"));

    connect(mnuStop, &QAction::triggered, this, &mdiKenteiBack::mnuStop_Click);
    connect(mnuEnd, &QAction::triggered, this, &mdiKenteiBack::mnuEnd_Click);
    connect(mnuPrint, &QAction::triggered, this, &mdiKenteiBack::mnuPrint_Click);
    connect(mnuPrinter_select, &QAction::triggered, this, &mdiKenteiBack::mnuPrinter_select_Click);
    connect(mnuMin, &QAction::triggered, this, &mdiKenteiBack::mnuMin_Click);
    connect(mnuRanking, &QAction::triggered, this, &mdiKenteiBack::mnuRanking_Click);
    connect(mnuHelp_index, &QAction::triggered, this, &mdiKenteiBack::mnuHelp_index_Click);
    connect(mnuVersion, &QAction::triggered, this, &mdiKenteiBack::mnuVersion_Click);
    connect(mnuNext, &QAction::triggered, this, &mdiKenteiBack::mnuNext_Click);
    // Escape on an open menu leaves the bar holding the keyboard; the next Enter would open
    // the menu again over the run.
    for (QMenu* menu : {mnuKentei, mnuOption, timeMenu, mnuProblem, mnuHelp})
        connect(menu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, &mdiKenteiBack::returnKeysToInput); });
    menuBar()->installEventFilter(this);
    resetMenus();
}

void mdiKenteiBack::resetMenus()
{
    // A window opened again starts with the menus as they were first built.
    mnuPrint->setEnabled(false);
    mnuPrinter_select->setEnabled(false);
    mnuTime->setEnabled(true);
    mnuMin->setChecked(true);
    mnuProblem->menuAction()->setVisible(false);
    mnuNext->setVisible(false);
    clearProblemMenu();
}

// ---------------------------------------------------------------------------------------
// Opening and closing

void mdiKenteiBack::MDIForm_Load()
{
    static bool chooserInstalled = false;
    if (!chooserInstalled) {
        colReidai::setFolderChooser([] { frmDir::instance().showModal(); });
        chooserInstalled = true;
    }
    m_deferred = nullptr;
    resetMenus();

    // 1. Only the main menu and this window stay open.
    frmSentaku* selection = &frmSentaku::instance();
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* window : tops) {
        if (window != this && window != selection && window->isWindow() && window->isVisible() &&
            !qobject_cast<QMenu*>(window))
            window->hide();
    }

    // 2.
    unloadChildWindows();
    createChildWindows();

    // 3. and 4.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect();
    if (workArea.isEmpty()) {
        MsgBox(QStringLiteral("画面エリアの取得に失敗しました。"), MsgButtons::Ok,
               QStringLiteral("APIs No.1 エラー報告"), MsgIcon::Critical);
        EndProgram(0);
        return;
    }
    const ReidaiLayout::Placement placed =
        ReidaiLayout::placeWindow(workArea, objKankyo->BackMode(), objKankyo->WindowSize);
    setWindowState(Qt::WindowNoState);
    move(placed.geometry.topLeft());
    resize(placed.geometry.size());
    // Shown now, so that the layout measures the real client area.
    if (placed.maximised)
        showMaximized();
    else
        showNormal();
    MDIForm_Activate();
    timCursor->setInterval(500);
    timCursor->start();

    // 5. to 8.
    objReidai = std::make_unique<colReidai>();
    m_reidai->lblHint->setText(QStringLiteral(
        "ここでは全角スペースは［□］で表しています。それ以外の空白は半角スペースです"));
    LayoutReidai();
    mnuProblem->menuAction()->setVisible(false);

    // 9.
    if (objUser->KenteiON()) {
        setWindowTitle(QStringLiteral("検定中"));
    } else {
        setWindowTitle(QStringLiteral("練習中"));
        if (objKankyo->SortMode() != QStringLiteral("RANDOM"))
            fillProblemMenu();
    }

    // 10. to 12.
    ResetRun();
    mnuMin->setChecked(true);
    ShowLastTime();
    if (objUser->KenteiON())
        mnuTime->setEnabled(objKankyo->ChangeTime());
    showChildWindows();
    focusInput();

    // 13.
    lBlnLoadError = false;
    try {
        PrepareReidai(false, QString());
    } catch (const PelkoError& error) {
        MsgBox(error.description(), MsgButtons::Ok, kErrorTitle, MsgIcon::Critical);
        lBlnLoadError = true;
    } catch (const std::exception& error) {
        MsgBox(QString::fromLocal8Bit(error.what()), MsgButtons::Ok, kErrorTitle,
               MsgIcon::Critical);
        lBlnLoadError = true;
    }

    // 14.
    if (lBlnLoadError) {
        m_deferred = nullptr;
        unloadChildWindows();
        objReidai.reset();
        timCursor->stop();
        hide();
        TestReady = false;
        frmSentaku::instance().show();
        return;
    }
    HookReidaiWindow();
    runDeferred();
}

void mdiKenteiBack::HookReidaiWindow()
{
    // The frames the user drags are the sub-windows around the two child windows.
    m_follow.install(m_reidaiSub, m_inputSub);
}

void mdiKenteiBack::UnhookReidaiWindow() { m_follow.remove(); }

bool mdiKenteiBack::isReidaiHooked() const { return m_follow.isInstalled(); }

void mdiKenteiBack::MDIForm_Activate()
{
    // A system colour (high bit set) has no value of its own here: the palette stands in.
    mdiArea->setBackground(
        ColorLiteral::toColor(objKankyo->BackColor(), palette().color(QPalette::Dark)));
}

void mdiKenteiBack::MDIForm_Unload()
{
    UnhookReidaiWindow();
    frmSentaku::instance().show();
}

void mdiKenteiBack::Unload()
{
    if (deferWhileDrawing([this] { Unload(); }))
        return;
    timLastTime->stop();
    timCursor->stop();
    unloadChildWindows();
    objReidai.reset();
    hide();
    MDIForm_Unload();
}

void mdiKenteiBack::mnuEnd_Click()
{
    if (deferWhileDrawing([this] { mnuEnd_Click(); }))
        return;
    if (!confirmClose())
        return;
    objReidai.reset();
    timCursor->stop();
    timLastTime->stop();
    lStrFileName.clear();
    unloadChildWindows();
    Unload();
}

void mdiKenteiBack::closeEvent(QCloseEvent* event)
{
    // The close box keeps lStrFileName, so the next practice window goes on from it.
    if (m_drawing) {
        event->ignore();
        Unload(); // once the drawing is done
        return;
    }
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    Unload();
    // Accepted, so that quitting the application is not held up by this window.
    event->accept();
}

bool mdiKenteiBack::confirmClose()
{
    // A second request while the question is open is the same request.
    if (m_confirmingClose)
        return false;
    if (!runInProgress())
        return true;
    m_confirmingClose = true;
    // The countdown goes on meanwhile and may end the run; its result and log line stay.
    const MsgAnswer answer =
        MsgBox(QStringLiteral("入力中の結果は破棄されます。画面を閉じてもよろしいですか？"),
               MsgButtons::YesNoDefaultNo, QStringLiteral("確認"), MsgIcon::Question);
    m_confirmingClose = false;
    if (!isVisible())
        return false; // closed some other way meanwhile
    if (answer == MsgAnswer::Yes)
        return true;
    focusInput();
    return false;
}

bool mdiKenteiBack::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (objKankyo)
            MDIForm_Activate();
        // Back from a dialog opened from the menus.
        if (inputWantsKeys())
            QTimer::singleShot(0, this, &mdiKenteiBack::returnKeysToInput);
    }
    return QMainWindow::event(event);
}

bool mdiKenteiBack::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mdiArea->viewport() && event->type() == QEvent::Resize)
        placeLogo();
    if (watched == menuBar() && event->type() == QEvent::FocusOut && inputWantsKeys())
        QTimer::singleShot(0, this, &mdiKenteiBack::returnKeysToInput);
    return QMainWindow::eventFilter(watched, event);
}

void mdiKenteiBack::placeLogo()
{
    const QSize area = mdiArea->viewport()->size();
    picPelko->move(area.width() - picPelko->width() - 8, area.height() - picPelko->height() - 8);
}

// ---------------------------------------------------------------------------------------
// Child windows

void mdiKenteiBack::createChildWindows()
{
    auto* reidai = new frmReidai;
    reidai->Form_Load();
    auto* input = new frmInput;
    input->setHost(this);
    input->setReidai(reidai);
    input->Form_Load();
    connect(reidai, &frmReidai::focusWanted, this, &mdiKenteiBack::focusInput);

    // No buttons: a child window closed on its own would leave the test without it.
    const Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    m_reidaiSub = mdiArea->addSubWindow(reidai, flags);
    m_inputSub = mdiArea->addSubWindow(input, flags);
    // Activating a child window gives the focus to the window inside, which takes the keys.
    m_reidaiSub->setFocusProxy(reidai);
    m_inputSub->setFocusProxy(input);
    m_reidaiSub->setWindowTitle(reidai->windowTitle());
    m_inputSub->setWindowTitle(input->windowTitle());
    m_reidaiSub->hide();
    m_inputSub->hide();
    m_reidai = reidai;
    m_input = input;
}

void mdiKenteiBack::unloadChildWindows()
{
    // The input window first, as it refers to the problem window.
    delete m_inputSub.data();
    delete m_input.data();
    delete m_reidaiSub.data();
    delete m_reidai.data();
}

void mdiKenteiBack::showChildWindows()
{
    if (m_reidaiSub)
        m_reidaiSub->show();
    if (m_inputSub)
        m_inputSub->show();
}

void mdiKenteiBack::focusInput()
{
    if (!m_input || !m_inputSub)
        return;
    mdiArea->setActiveSubWindow(m_inputSub);
    m_input->Form_Activate();
    QWidget* box = m_input->txtInputZone;
    if (box && box->isVisibleTo(m_input) && box->isEnabled())
        box->setFocus();
    else
        m_input->setFocus();
}

bool mdiKenteiBack::runInProgress() const
{
    return m_input && m_input->runInProgress();
}

bool mdiKenteiBack::inputWantsKeys() const
{
    // Waiting for the space bar, or running.
    return m_input && !m_input->checker().finished();
}

void mdiKenteiBack::returnKeysToInput()
{
    // Not while the user is still in a menu or a box, nor when the keys are already right.
    if (!inputWantsKeys() || !isActiveWindow() || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget())
        return;
    QWidget* wanted = runInProgress() ? static_cast<QWidget*>(m_input->txtInputZone) : m_input;
    if (QApplication::focusWidget() != wanted)
        focusInput();
}

QSize mdiKenteiBack::clientSize() const
{
    return mdiArea->viewport()->size();
}

// ---------------------------------------------------------------------------------------
// Problem menu

void mdiKenteiBack::clearProblemMenu()
{
    while (mnuProblemList.size() > 1) {
        QAction* item = mnuProblemList.takeLast();
        mnuProblem->removeAction(item);
        delete item;
    }
    if (!mnuProblemList.isEmpty())
        mnuProblemList.first()->setVisible(true);
}

void mdiKenteiBack::fillProblemMenu()
{
    const QString folder = objKankyo->TestFilepath();
    const QStringList list = colReidai::GetReidaiList(folder);
    for (const QString& name : list) {
        const QString header = colReidai::GetHeader(FileSystem::joinPath(folder, name));
        QAction* item =
            mnuProblem->addAction(name + QStringLiteral(";") + header + QStringLiteral("・・・"));
        item->setData(name);
        item->setVisible(true);
        const int index = int(mnuProblemList.size());
        connect(item, &QAction::triggered, this, [this, index] { mnuProblemList_Click(index); });
        mnuProblemList.append(item);
    }
    if (!list.isEmpty()) {
        mnuProblemList.first()->setVisible(false);
        mnuProblem->menuAction()->setVisible(true);
    }
}

// ---------------------------------------------------------------------------------------
// Loading and replacing

void mdiKenteiBack::PrepareReidai(bool retry, const QString& fileName)
{
    // 1. Folder, mode and file by mode and setting.
    qint16 code = 0;
    if (objUser->KenteiON()) {
        QString mode = QStringLiteral("KENTEI");
        code = objReidai->LoadReidai(objKankyo->Filepath(), lStrFileName, mode);
    } else if (objKankyo->SortMode() == QStringLiteral("RANDOM")) {
        QString mode = QStringLiteral("RANDOM");
        code = objReidai->LoadReidai(objKankyo->TestFilepath(), lStrFileName, mode);
        lStrFileName = objReidai->Filename();
    } else if (retry) {
        QString mode = QStringLiteral("SELECT");
        code = objReidai->LoadReidai(objKankyo->TestFilepath(), lStrFileName, mode);
        lStrFileName = objReidai->Filename();
    } else if (!fileName.isEmpty()) {
        QString mode = QStringLiteral("SELECT");
        QString name = fileName;
        code = objReidai->LoadReidai(objKankyo->TestFilepath(), name, mode);
        lStrFileName = fileName;
    } else {
        QString mode = QStringLiteral("SEQUENCE");
        code = objReidai->LoadReidai(objKankyo->TestFilepath(), lStrFileName, mode);
        lStrFileName = objReidai->Filename();
    }

    // 2. The result code.
    switch (code) {
    case colReidai::Loaded:
        break;
    case colReidai::NoProblemFile:
        MsgBox(QStringLiteral("例題文を読み出せませんので、画面を閉じます。"
                              "環境設定の画面で例題文のフォルダを指定してください"),
               MsgButtons::Ok, kErrorTitle, MsgIcon::None);
        lBlnLoadError = true;
        return;
    case colReidai::NoFolder:
        MsgBox(QStringLiteral("パスの指定が間違っています"), MsgButtons::Ok, kErrorTitle,
               MsgIcon::Critical);
        MsgBox(QStringLiteral(
                   "例題文が読み出せません。環境設定でデータのファイルパスを指定しておいて下さい"),
               MsgButtons::Ok, QString(), MsgIcon::None);
        lBlnLoadError = true;
        return;
    case colReidai::NoCharacters:
        MsgBox(QStringLiteral("例題文に文字がありません。ロードしなおしてください"), MsgButtons::Ok,
               kErrorTitle, MsgIcon::Critical);
        lBlnLoadError = true;
        return;
    default:
        return;
    }

    // 3. Draw, the information line, and wait for the space bar.
    DrawReidai();
    if (!m_reidai || !m_input || !objReidai)
        return;
    ShowReidaiInfo();
    m_reidai->lblHint->setText(QStringLiteral("スペースバーを押すと開始します"));
    m_input->txtInputZone->hide();
    m_input->txtInputZone->setEnabled(false);
}

void mdiKenteiBack::ShowReidaiInfo()
{
    frmReidai* r = m_reidai;
    ReidaiInfo = ReidaiLayout::reidaiInfo(objReidai->SouMozisu(), objReidai->KanziKigo(),
                                          objReidai->Eisu(), objReidai->Hankaku());
    const QString caption = ReidaiInfo + QStringLiteral("  ストローク:0  入力:0/0");
    const QFontMetricsF metrics(r->font());
    const qreal captionHeight = metrics.height();
    const ReidaiLayout::InfoLineBox box = ReidaiLayout::infoLineBox(
        captionHeight, metrics.horizontalAdvance(caption), r->fraMozi->width(),
        r->fraMozi->height(), metrics.height(), 2 * metrics.height());
    r->lblReidaiInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    r->lblReidaiInfo->setWordWrap(box.twoRows);
    r->lblReidaiInfo->setGeometry(int(std::lround(captionHeight)), int(std::lround(box.top)),
                                  r->fraMozi->width(), int(std::ceil(box.height)));
    r->lblReidaiInfo->setText(caption);

    // The cursor spans the first character to type.
    PictureBox* pic = r->picReidai;
    qreal width = pic->TextWidth(u" ");
    if (objReidai->Count() > 0 && objReidai->Item(1).Count() > 0)
        width = pic->TextWidth(objReidai->Item(1).Item(1).Mozi());
    r->shpCursor->resize(std::max(1, int(std::lround(width))), r->shpCursor->height());
}

void mdiKenteiBack::ResetRun()
{
    objUser->setInpMozisu(0);
    objUser->setErrCount(0);
    objUser->setInpSpeed(0);
    objUser->setSeidaritu(0);
    objUser->setUseTime(0);
    timLastTime->stop();
    mnuPrinter_select->setEnabled(false);
    if (m_input)
        m_input->lblKekka->hide();
}

void mdiKenteiBack::ShowLastTime()
{
    const int n = objKankyo->LastTime();
    mnuMin->setText(QString::number(n) + QStringLiteral("分"));
    mnuMin->setChecked(true);
    if (m_reidai) {
        m_reidai->lblMin->setText(QString::number(n));
        m_reidai->lblSec->setText(QStringLiteral("0"));
    }
}

void mdiKenteiBack::replaceProblem(bool retry, const QString& fileName, bool isNext)
{
    // 1. to 3.
    UnhookReidaiWindow();
    objReidai.reset();
    unloadChildWindows();
    createChildWindows();
    objReidai = std::make_unique<colReidai>();
    LayoutReidai();
    ResetRun();

    // 4. A loader error leaves the window usable with an empty problem.
    try {
        PrepareReidai(retry, fileName);
    } catch (const PelkoError& error) {
        MsgBox(error.description(), MsgButtons::Ok, kErrorTitle, MsgIcon::Critical);
    } catch (const std::exception& error) {
        MsgBox(QString::fromLocal8Bit(error.what()), MsgButtons::Ok, kErrorTitle,
               MsgIcon::Critical);
    }

    // 5. to 8.
    HookReidaiWindow();
    ShowLastTime();
    if (objUser->KenteiON())
        mnuTime->setEnabled(objKankyo->ChangeTime());
    showChildWindows();
    focusInput();
    if (isNext)
        mnuNext->setVisible(false);
    runDeferred();
}

void mdiKenteiBack::mnuStop_Click()
{
    if (deferWhileDrawing([this] { mnuStop_Click(); }))
        return;
    replaceProblem(true, QString(), false);
}

void mdiKenteiBack::mnuNext_Click()
{
    if (deferWhileDrawing([this] { mnuNext_Click(); }))
        return;
    replaceProblem(false, QString(), true);
}

void mdiKenteiBack::mnuProblemList_Click(int index)
{
    if (deferWhileDrawing([this, index] { mnuProblemList_Click(index); }))
        return;
    if (index < 0 || index >= mnuProblemList.size())
        return;
    replaceProblem(false, mnuProblemList.at(index)->data().toString(), false);
}

bool mdiKenteiBack::deferWhileDrawing(std::function<void()> action)
{
    if (!m_drawing)
        return false;
    m_deferred = std::move(action); // the last request wins
    return true;
}

void mdiKenteiBack::runDeferred()
{
    if (m_drawing || !m_deferred)
        return;
    std::function<void()> action = std::move(m_deferred);
    m_deferred = nullptr;
    action();
}

// ---------------------------------------------------------------------------------------
// Timers

void mdiKenteiBack::timLastTime_Timer()
{
    if (!m_reidai)
        return;
    Countdown clock{int(NumericText::Val(m_reidai->lblMin->text())),
                    int(NumericText::Val(m_reidai->lblSec->text()))};
    const bool ended = clock.tick();
    m_reidai->lblMin->setText(QString::number(clock.minutes));
    m_reidai->lblSec->setText(QString::number(clock.seconds));
    if (!ended)
        return;
    objUser->setUseTime(qint16(std::min(32767, objKankyo->LastTime() * 60)));
    timLastTime->stop();
    if (m_input)
        m_input->FsubEnd_Syori();
}

void mdiKenteiBack::timCursor_Timer()
{
    if (timCursor->interval() == 500) {
        timCursor->setInterval(700);
        if (m_reidai)
            m_reidai->shpCursor->hide();
    } else {
        timCursor->setInterval(500);
        if (m_reidai) {
            m_reidai->shpCursor->show();
            m_reidai->picReidai->update();
        }
    }
}

// ---------------------------------------------------------------------------------------
// TestHost

void mdiKenteiBack::startCountdown()
{
    timLastTime->start();
}
void mdiKenteiBack::stopCountdown()
{
    timLastTime->stop();
}
void mdiKenteiBack::setTimeMenuEnabled(bool on)
{
    mnuTime->setEnabled(on);
}
void mdiKenteiBack::showNextProblemMenu()
{
    mnuNext->setVisible(true);
}

void mdiKenteiBack::enablePrintMenus()
{
    mnuPrint->setEnabled(true);
    mnuPrinter_select->setEnabled(true);
}

// ---------------------------------------------------------------------------------------
// Other menus

void mdiKenteiBack::mnuMin_Click()
{
    try {
        const int chosen = frmChangeTime::ChooseMinutes(objKankyo->LastTime());
        objKankyo->setLastTime(qint16(chosen));
        ShowLastTime();
    } catch (const std::exception&) {
        objKankyo->setLastTime(5);
    }
}

void mdiKenteiBack::mnuPrint_Click()
{
    if (MsgBox(QStringLiteral("印刷を行います。よろしいですか？"), MsgButtons::OkCancel,
               QStringLiteral("印刷確認"), MsgIcon::Information) == MsgAnswer::Cancel)
        return;
    clsPrintOut printOut;
    if (objReidai)
        printOut.fillFrom(*objUser, *objReidai, objKankyo->PaperSize());
    else
        printOut.fillFrom(*objUser, colReidai(), objKankyo->PaperSize());
    try {
        printOut.PrintOut();
    } catch (const PelkoError& error) {
        // The result stays on screen, so the user can fix the printer and try again.
        MsgBox(QStringLiteral("認定証を印刷できませんでした。\r") + error.description() +
                   QStringLiteral("\rプリンタの電源と接続、印刷サービスを確かめてから、もう一度印刷"
                                  "してください。"),
               MsgButtons::Ok, QStringLiteral("印刷エラー"), MsgIcon::Critical);
    }
}

void mdiKenteiBack::mnuPrinter_select_Click()
{
    frmPrinterSelect::instance().showModal();
}

void mdiKenteiBack::mnuRanking_Click()
{
    frmRanking::instance().showModal();
}

void mdiKenteiBack::mnuVersion_Click()
{
    frmVer::instance().showModal();
}

void mdiKenteiBack::mnuHelp_index_Click()
{
    ShowHelp(this, FileSystem::joinPath(AppPaths::applicationFolder(), QStringLiteral("PELKO.HLP")),
             1, 0);
}
