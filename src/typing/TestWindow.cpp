#include "TestWindow.h"

#include "Countdown.h"
#include "DrillBuilder.h"
#include "ProblemLayout.h"
#include "RunReview.h"
#include "WeakCharactersDialog.h"
#include "platform/FileSystem.h"
#include "platform/HelpPage.h"
#include "platform/MessageService.h"
#include "platform/PelkoArt.h"
#include "platform/ProgramEnd.h"
#include "platform/SiteKey.h"
#include "problems/Problem.h"
#include "problems/ProblemFile.h"
#include "results/CertificateCheckDialog.h"
#include "results/CertificatePrinter.h"
#include "results/DatabaseQueue.h"
#include "results/LogWriter.h"
#include "results/PendingRecords.h"
#include "results/PrinterDialog.h"
#include "results/RankingWindow.h"
#include "results/RunRecord.h"
#include "results/RunRow.h"
#include "settings/DurationDialog.h"
#include "settings/FolderDialog.h"
#include "settings/Settings.h"
#include "typing/Scoring.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
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

TestWindow::TestWindow(Settings& settings, RunRecord& record, HelpViewer& help)
    : QMainWindow(nullptr), m_settings(settings), m_record(record), m_help(help)
{
    setObjectName(QStringLiteral("TestWindow"));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_logoLabel = new QLabel(m_mdiArea->viewport());
    m_logoLabel->setObjectName(QStringLiteral("logoLabel"));
    m_logoLabel->setFixedSize(85, 85);
    m_logoLabel->setPixmap(logoPixmap(85, devicePixelRatioF()));
    m_logoLabel->lower();
    m_mdiArea->viewport()->installEventFilter(this);

    m_countdownTimer = new QTimer(this);
    m_countdownTimer->setInterval(1000);
    connect(m_countdownTimer, &QTimer::timeout, this, &TestWindow::countdownTick);
    m_cursorBlinkTimer = new QTimer(this);
    m_cursorBlinkTimer->setInterval(500);
    connect(m_cursorBlinkTimer, &QTimer::timeout, this, &TestWindow::blinkCursor);

    buildMenus();
}

// The child windows refer to the problem, so they go first.
TestWindow::~TestWindow()
{
    destroyChildWindows();
}

void TestWindow::newProblem()
{
    m_problem = std::make_unique<Problem>();
    m_problem->setFolderChooser([] { return FolderDialog::pick(QApplication::activeWindow()); });
    if (m_inputPane)
        m_inputPane->setProblem(m_problem.get(), &m_problemSummary);
}

void TestWindow::showMainMenu()
{
    if (m_mainMenu)
        m_mainMenu->show();
}

void TestWindow::buildMenus()
{
    m_testMenu = menuBar()->addMenu(QStringLiteral("検定(&N)"));
    m_startOverAction = m_testMenu->addAction(QStringLiteral("やり直し(&E)"));
    m_startOverAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_closeAction = m_testMenu->addAction(QStringLiteral("閉じる(&C)"));
    m_closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    m_testMenu->addSeparator();
    m_printAction = m_testMenu->addAction(QStringLiteral("結果の印刷(&P)"));
    m_printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_choosePrinterAction = m_testMenu->addAction(QStringLiteral("プリンタの選択"));
    m_testMenu->addSeparator();
    m_weakCharactersAction = m_testMenu->addAction(QStringLiteral("苦手な文字(&W)"));

    m_optionMenu = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    QMenu* durationMenu = m_optionMenu->addMenu(QStringLiteral("時間の設定(&T)"));
    m_durationMenuAction = durationMenu->menuAction();
    m_durationAction = durationMenu->addAction(QStringLiteral("１分"));
    m_durationAction->setCheckable(true);
    m_durationAction->setChecked(true);
    m_rankingAction = m_optionMenu->addAction(QStringLiteral("ランキング情報"));
    m_resultsBrowserAction = m_optionMenu->addAction(QStringLiteral("成績一覧(&L)"));
    m_certificateCheckAction = m_optionMenu->addAction(QStringLiteral("認定証の確認(&V)"));

    m_problemMenu = menuBar()->addMenu(QStringLiteral("問題"));
    m_problemActions.append(m_problemMenu->addAction(QStringLiteral("問題0")));

    m_helpMenu = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    m_helpContentsAction = m_helpMenu->addAction(QStringLiteral("目次"));
    m_helpMenu->addSeparator();
    m_aboutAction = m_helpMenu->addAction(QStringLiteral("バージョン情報"));

    m_nextProblemAction = menuBar()->addAction(QStringLiteral("次の問題へ(&N)"));
    // Names by which tools and tests find the menus.
    const std::pair<QObject*, const char*> names[] = {
        {m_testMenu, "testMenu"},
        {m_startOverAction, "startOverAction"},
        {m_closeAction, "closeAction"},
        {m_printAction, "printAction"},
        {m_choosePrinterAction, "choosePrinterAction"},
        {m_durationMenuAction, "durationMenuAction"},
        {m_durationAction, "durationAction"},
        {m_problemMenu, "problemMenu"},
        {m_nextProblemAction, "nextProblemAction"},
        {m_certificateCheckAction, "certificateCheckAction"}};
    for (const auto& [object, name] : names)
        object->setObjectName(QLatin1String(name));

    connect(m_startOverAction, &QAction::triggered, this, &TestWindow::startOver);
    connect(m_closeAction, &QAction::triggered, this, &TestWindow::closeTest);
    connect(m_printAction, &QAction::triggered, this, &TestWindow::printCertificate);
    connect(m_choosePrinterAction, &QAction::triggered, this, &TestWindow::choosePrinter);
    connect(m_weakCharactersAction, &QAction::triggered, this, &TestWindow::showWeakCharacters);
    // Only a finished run has something to review.
    connect(m_testMenu, &QMenu::aboutToShow, this, [this] {
        m_weakCharactersAction->setEnabled(m_inputPane && m_inputPane->checker().finished());
    });
    connect(m_durationAction, &QAction::triggered, this, &TestWindow::chooseDuration);
    connect(m_rankingAction, &QAction::triggered, this, &TestWindow::showRanking);
    connect(m_resultsBrowserAction, &QAction::triggered, this,
            &TestWindow::resultsBrowserRequested);
    connect(m_certificateCheckAction, &QAction::triggered, this,
            [this] { CertificateCheckDialog(this).exec(); });
    connect(m_helpContentsAction, &QAction::triggered, this, &TestWindow::showHelpContents);
    connect(m_aboutAction, &QAction::triggered, this, &TestWindow::aboutRequested);
    connect(m_nextProblemAction, &QAction::triggered, this, &TestWindow::nextProblem);
    // Escape on an open menu leaves the bar holding the keyboard; the next Enter would open
    // the menu again over the run.
    for (QMenu* menu : {m_testMenu, m_optionMenu, durationMenu, m_problemMenu, m_helpMenu})
        connect(menu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, &TestWindow::returnKeysToInput); });
    menuBar()->installEventFilter(this);
    resetMenus();
}

void TestWindow::resetMenus()
{
    // A window opened again starts with the menus as they were first built.
    m_printAction->setEnabled(false);
    m_choosePrinterAction->setEnabled(false);
    m_weakCharactersAction->setEnabled(false);
    m_durationMenuAction->setEnabled(true);
    m_durationAction->setChecked(true);
    m_problemMenu->menuAction()->setVisible(false);
    m_nextProblemAction->setVisible(false);
    clearProblemMenu();
}

// ---------------------------------------------------------------------------------------
// Opening and closing

void TestWindow::open()
{
    m_drillLines.clear();
    resetMenus();

    // Only the main menu and this window stay open.
    const QWidget* mainMenu = m_mainMenu.data();
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget* window : topLevels) {
        if (window != this && window != mainMenu && window->isWindow() && window->isVisible() &&
            !qobject_cast<QMenu*>(window))
            window->hide();
    }

    // Every opening gets child windows of its own.
    destroyChildWindows();
    createChildWindows();

    // The frame needs the work area; without one nothing can be placed.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect();
    if (workArea.isEmpty()) {
        showMessage(QStringLiteral("画面エリアの取得に失敗しました。"), MessageButtons::Ok,
                    QStringLiteral("APIs No.1 エラー報告"), MessageIcon::Critical);
        endProgram(0);
        return;
    }
    const ProblemLayout::Placement placed = ProblemLayout::placeWindow(
        workArea, qToUnderlying(m_settings.backgroundMode()), m_settings.windowPercent());
    // The title names the kind of run before the reused window shows.
    setWindowTitle(m_record.isCertification() ? QStringLiteral("検定中")
                                              : QStringLiteral("練習中"));
    setWindowState(Qt::WindowNoState);
    move(placed.geometry.topLeft());
    resize(placed.geometry.size());
    // Shown now, so that the layout measures the real client area.
    if (placed.maximised)
        showMaximized();
    else
        showNormal();
    applyBackColor();
    m_cursorShown = true;
    m_cursorBlinkTimer->setInterval(500);
    m_cursorBlinkTimer->start();

    // Laid out around an empty problem; the problem menu waits for the file list.
    newProblem();
    m_problemView->showHint(QStringLiteral(
        "ここでは全角スペースは［□］で表しています。それ以外の空白は半角スペースです"));
    layoutChildWindows();
    m_problemMenu->menuAction()->setVisible(false);

    // Only ordered practice offers files to pick.
    if (!m_record.isCertification() && m_settings.problemOrder() != ProblemOrder::Random)
        fillProblemMenu();

    // A clean run at the configured duration; certification may lock the duration.
    resetRun();
    m_durationAction->setChecked(true);
    showDuration();
    if (m_record.isCertification())
        m_durationMenuAction->setEnabled(m_settings.canChangeDuration());
    showChildWindows();
    focusInput();

    if (!tryLoading([this] { return loadProblem(false, QString()); })) {
        giveUpLoading();
        return;
    }
    followProblemWindow();
}

bool TestWindow::tryLoading(const std::function<Expected<void>()>& load)
{
    bool converted = false;
    while (true) {
        m_loadFailed = false;
        try {
            const Expected<void> loaded = load();
            if (loaded)
                return !m_loadFailed;
            const Error& error = loaded.error();
            if (error.code() != Error::Code::Utf8Text || converted) {
                showMessage(error.message(), MessageButtons::Ok, kErrorTitle,
                            MessageIcon::Critical);
            } else if (convertUtf8Problem(error.message())) {
                converted = true;
                continue;
            }
        } catch (const std::exception& error) {
            showMessage(QString::fromLocal8Bit(error.what()), MessageButtons::Ok, kErrorTitle,
                        MessageIcon::Critical);
        }
        m_loadFailed = true;
        return false;
    }
}

bool TestWindow::convertUtf8Problem(const QString& description)
{
    const QString path = m_problem ? m_problem->filePath() : QString();
    const QString name = QFileInfo(path).fileName();
    if (showMessage(description +
                        QStringLiteral("\r\rいま Shift-JIS に変換しますか？（元のファイルは ") +
                        ProblemFile::utf8OriginalName(name) + QStringLiteral(" として残ります）"),
                    MessageButtons::YesNo, QStringLiteral("UTF-8 の問題ファイル"),
                    MessageIcon::Question) != MessageAnswer::Yes)
        return false;
    const QString failure = ProblemFile::convertFromUtf8(path);
    if (failure.isEmpty())
        return true;
    showMessage(failure, MessageButtons::Ok, kErrorTitle, MessageIcon::Critical);
    return false;
}

void TestWindow::giveUpLoading()
{
    // Nothing to type: back to the main menu rather than a window that waits for nothing.
    m_chosenFolder.clear();
    stopFollowingProblemWindow();
    destroyChildWindows();
    m_problem.reset();
    m_cursorBlinkTimer->stop();
    hide();
    m_ready = false;
    showMainMenu();
}

void TestWindow::followProblemWindow()
{
    // The frames the user drags are the sub-windows around the two child windows.
    m_follow.install(m_problemSubWindow, m_inputSubWindow);
}

void TestWindow::stopFollowingProblemWindow()
{
    m_follow.remove();
}

bool TestWindow::isFollowingProblemWindow() const
{
    return m_follow.isInstalled();
}

void TestWindow::applyBackColor()
{
    // A system colour (high bit set) or no colour (-1, as "&HFFFF" reads) has no value of its
    // own here: the palette stands in.
    const QColor color = m_settings.backColor();
    m_mdiArea->setBackground(color.isValid() ? color : palette().color(QPalette::Dark));
}

void TestWindow::returnToMainMenu()
{
    stopFollowingProblemWindow();
    showMainMenu();
}

void TestWindow::closeWindow()
{
    m_chosenFolder.clear();
    m_countdownTimer->stop();
    m_cursorBlinkTimer->stop();
    destroyChildWindows();
    m_problem.reset();
    hide();
    returnToMainMenu();
}

void TestWindow::closeTest()
{
    if (!confirmClose())
        return;
    m_problem.reset();
    m_cursorBlinkTimer->stop();
    m_countdownTimer->stop();
    m_problemFileName.clear();
    m_drillLines.clear();
    destroyChildWindows();
    closeWindow();
}

void TestWindow::closeEvent(QCloseEvent* event)
{
    // The close box keeps m_problemFileName, so the next practice window goes on from it.
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    closeWindow();
    // Accepted, so that quitting the application is not held up by this window.
    event->accept();
}

bool TestWindow::confirmClose()
{
    // A second request while the question is open is the same request.
    if (m_confirmingClose)
        return false;
    if (!runInProgress())
        return true;
    m_confirmingClose = true;
    // The countdown goes on meanwhile and may end the run; its result and log line stay.
    const MessageAnswer answer =
        showMessage(QStringLiteral("入力中の結果は破棄されます。画面を閉じてもよろしいですか？"),
                    MessageButtons::YesNoDefaultNo, QStringLiteral("確認"), MessageIcon::Question);
    m_confirmingClose = false;
    if (!isVisible())
        return false; // closed some other way meanwhile
    if (answer == MessageAnswer::Yes)
        return true;
    focusInput();
    return false;
}

bool TestWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        applyBackColor();
        // Back from a dialog opened from the menus.
        if (inputWantsKeys())
            QTimer::singleShot(0, this, &TestWindow::returnKeysToInput);
    }
    return QMainWindow::event(event);
}

bool TestWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::Resize)
        placeLogo();
    if (watched == menuBar() && event->type() == QEvent::FocusOut && inputWantsKeys())
        QTimer::singleShot(0, this, &TestWindow::returnKeysToInput);
    return QMainWindow::eventFilter(watched, event);
}

void TestWindow::placeLogo()
{
    const QSize area = m_mdiArea->viewport()->size();
    m_logoLabel->move(area.width() - m_logoLabel->width() - 8,
                      area.height() - m_logoLabel->height() - 8);
}

// ---------------------------------------------------------------------------------------
// Child windows

void TestWindow::createChildWindows()
{
    auto* view = new ProblemView(m_settings);
    view->applyColors();
    auto* input = new InputPane(m_settings, m_record);
    input->setHost(this);
    input->setProblemView(view);
    input->setProblem(m_problem.get(), &m_problemSummary);
    input->prepareRun();
    connect(view, &ProblemView::focusWanted, this, &TestWindow::focusInput);
    connect(input, &InputPane::runFinished, this, &TestWindow::logRun);

    // No buttons: a child window closed on its own would leave the test without it.
    const Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    m_problemSubWindow = m_mdiArea->addSubWindow(view, flags);
    m_inputSubWindow = m_mdiArea->addSubWindow(input, flags);
    // Activating a child window gives the focus to the window inside, which takes the keys.
    m_problemSubWindow->setFocusProxy(view);
    m_inputSubWindow->setFocusProxy(input);
    m_problemSubWindow->setWindowTitle(view->windowTitle());
    m_inputSubWindow->setWindowTitle(input->windowTitle());
    m_problemSubWindow->hide();
    m_inputSubWindow->hide();
    m_problemView = view;
    m_inputPane = input;
}

void TestWindow::logRun(const RunResult& run)
{
    LogWriter writer(run, LogTargets{m_settings.logFolder(), m_settings.logName(),
                                     m_settings.passLogFolder(), m_settings.passLogName(),
                                     m_settings.passLogFormat()});
    // One moment for the run's line and its database row: the row's id comes from the line.
    const QDateTime when = QDateTime::currentDateTime();
    writer.setClock([when] { return when; });
    PendingRecords waiting(PendingRecords::defaultFolder());
    const PendingRecords::Outcome logged = waiting.write(writer, m_settings.isPassLogEnabled());
    m_record.setRecordNumber(writer.run().recordNumber);
    m_record.setLogged(writer.recordWritten());
    m_record.setKeptAs(logged.keptAs);
    queueForDatabase(writer);
    if (!logged.failed)
        return;
    QString text = QStringLiteral("ログが正常に書き込めませんでした");
    if (!logged.failure.isEmpty())
        text += u'\r' + logged.failure;
    if (logged.kept()) {
        text += QStringLiteral("\r記録は保管しました。次にログへ書き込めたときに追加します。");
        // The result fills its three lines: the note goes where hints show.
        if (m_problemView)
            m_problemView->showHint(
                QStringLiteral("記録は保管中です（次にログへ書き込めたときに追加されます）"));
    }
    showMessage(text, MessageButtons::Ok, QStringLiteral("ログ書き込みエラー"), MessageIcon::None);
}

void TestWindow::queueForDatabase(const LogWriter& writer)
{
    m_databaseRunId = {};
    if (m_settings.databaseServer().isEmpty())
        return;
    RunRow row;
    row.run = writer.run();
    row.inLog = writer.recordWritten();
    row.loggedAt = writer.now();
    // Named by its line in the log, as an import of that log names it: one run, one row.
    const auto lineId =
        row.inLog ? RunRow::idOfLine(LogWriter::lineOf(row.run, row.loggedAt)) : std::nullopt;
    row.id = m_databaseRunId = lineId.value_or(QUuid::createUuid());
    row.kind = m_record.isCertification() ? RunRow::Kind::Certification : RunRow::Kind::Practice;
    row.passSpeed = m_settings.passSpeed();
    row.grade = Scoring::grade(row.run.charsPerMinute, row.run.secondsUsed);
    row.inputMethod = qEnvironmentVariable("QT_IM_MODULE");
    row.site = m_settings.databaseSite();
    // The server is asked in the background: the candidate never waits for it, and a row
    // it cannot take waits in the queue for the next run.
    DatabaseQueue queue(DatabaseQueue::defaultFolder());
    if (!queue.add(row))
        qWarning("pelko: the run could not be queued for the results database");
    queue.sendInBackground(m_settings.databaseServer());
}

void TestWindow::destroyChildWindows()
{
    // The input window first, as it refers to the problem window.
    delete m_inputSubWindow.data();
    delete m_inputPane.data();
    delete m_problemSubWindow.data();
    delete m_problemView.data();
}

void TestWindow::showChildWindows()
{
    if (m_problemSubWindow)
        m_problemSubWindow->show();
    if (m_inputSubWindow)
        m_inputSubWindow->show();
}

void TestWindow::focusInput()
{
    if (!m_inputPane || !m_inputSubWindow)
        return;
    m_mdiArea->setActiveSubWindow(m_inputSubWindow);
    m_inputPane->enableInputMethod();
    if (!m_inputPane->focusInputBox())
        m_inputPane->setFocus();
}

bool TestWindow::runInProgress() const
{
    return m_inputPane && m_inputPane->runInProgress();
}

bool TestWindow::inputWantsKeys() const
{
    // Waiting for the space bar, or running.
    return m_inputPane && !m_inputPane->checker().finished();
}

void TestWindow::returnKeysToInput()
{
    // Not while the user is still in a menu or a box, nor when the keys are already right.
    if (!inputWantsKeys() || !isActiveWindow() || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget())
        return;
    const bool keysRight = runInProgress() ? m_inputPane->inputBoxHasFocus()
                                           : QApplication::focusWidget() == m_inputPane;
    if (!keysRight)
        focusInput();
}

QSize TestWindow::clientSize() const
{
    return m_mdiArea->viewport()->size();
}

// ---------------------------------------------------------------------------------------
// Problem menu

void TestWindow::clearProblemMenu()
{
    while (m_problemActions.size() > 1) {
        QAction* action = m_problemActions.takeLast();
        m_problemMenu->removeAction(action);
        delete action;
    }
    if (!m_problemActions.isEmpty())
        m_problemActions.first()->setVisible(true);
}

void TestWindow::fillProblemMenu()
{
    const QString folder = problemFolder();
    // Too many files leave the menu empty; loading says why.
    const QStringList files = Problem::problemFiles(folder).valueOr({});
    for (const QString& name : files) {
        const QString header = Problem::fileHeader(FileSystem::joinPath(folder, name));
        QAction* action = m_problemMenu->addAction(name + QStringLiteral(";") + header +
                                                   QStringLiteral("・・・"));
        action->setData(name);
        action->setVisible(true);
        const int index = int(m_problemActions.size());
        connect(action, &QAction::triggered, this, [this, index] { chooseProblem(index); });
        m_problemActions.append(action);
    }
    if (!files.isEmpty()) {
        m_problemActions.first()->setVisible(false);
        m_problemMenu->menuAction()->setVisible(true);
    }
}

// ---------------------------------------------------------------------------------------
// Loading and replacing

QString TestWindow::problemFolder() const
{
    if (!m_chosenFolder.isEmpty())
        return m_chosenFolder;
    return m_record.isCertification() ? m_settings.certificationFolder()
                                      : m_settings.practiceFolder();
}

void TestWindow::reportUnusableFolder()
{
    showMessage(QStringLiteral("パスの指定が間違っています"), MessageButtons::Ok, kErrorTitle,
                MessageIcon::Critical);
    showMessage(QStringLiteral(
                    "例題文が読み出せません。環境設定でデータのファイルパスを指定しておいて下さい"),
                MessageButtons::Ok, QString(), MessageIcon::None);
}

Expected<void> TestWindow::loadProblem(bool retry, const QString& fileName)
{
    // Certification draws at random; practice retries, takes the picked file or goes in order.
    const QString folder = problemFolder();
    Expected<Problem::LoadStatus> loaded = Problem::Loaded;
    if (m_record.isCertification()) {
        loaded = m_problem->loadFrom(folder, m_problemFileName, QStringLiteral("KENTEI"));
    } else if (m_settings.problemOrder() == ProblemOrder::Random) {
        loaded = m_problem->loadFrom(folder, m_problemFileName, QStringLiteral("RANDOM"));
        if (loaded)
            m_problemFileName = m_problem->fileName();
    } else if (retry) {
        loaded = m_problem->loadFrom(folder, m_problemFileName, QStringLiteral("SELECT"));
        if (loaded)
            m_problemFileName = m_problem->fileName();
    } else if (!fileName.isEmpty()) {
        loaded = m_problem->loadFrom(folder, fileName, QStringLiteral("SELECT"));
        if (loaded)
            m_problemFileName = fileName;
    } else {
        loaded = m_problem->loadFrom(folder, m_problemFileName, QStringLiteral("SEQUENCE"));
        if (loaded)
            m_problemFileName = m_problem->fileName();
    }
    if (!loaded)
        return loaded.error();

    // Nothing to type: say why, and let the caller know the load failed.
    switch (*loaded) {
    case Problem::Loaded:
        break;
    case Problem::NoProblemFile:
        showMessage(QStringLiteral("例題文を読み出せませんので、画面を閉じます。"
                                   "環境設定の画面で例題文のフォルダを指定してください"),
                    MessageButtons::Ok, kErrorTitle, MessageIcon::None);
        m_loadFailed = true;
        return {};
    case Problem::NoFolder:
        reportUnusableFolder();
        m_loadFailed = true;
        return {};
    case Problem::NoCharacters:
        showMessage(QStringLiteral("例題文に文字がありません。ロードしなおしてください"),
                    MessageButtons::Ok, kErrorTitle, MessageIcon::Critical);
        m_loadFailed = true;
        return {};
    default:
        return {};
    }

    showLoadedProblem();
    return {};
}

Expected<void> TestWindow::loadDrill()
{
    const Expected<Problem::LoadStatus> loaded =
        m_problem->setLines(DrillBuilder::DrillName, m_drillLines);
    if (!loaded)
        return loaded.error();
    if (*loaded != Problem::Loaded) {
        m_drillLines.clear();
        m_loadFailed = true;
        return {};
    }
    showLoadedProblem();
    return {};
}

void TestWindow::showLoadedProblem()
{
    if (!m_problemView || !m_inputPane || !m_problem)
        return;
    // Keys typed while the text is drawn would start a run on a half-drawn problem; no
    // event runs until it is done.
    m_problemView->drawProblem(*m_problem);
    showProblemInfo();
    m_problemView->showHint(QStringLiteral("スペースバーを押すと開始します"));
    m_inputPane->hideInputBox();
}

void TestWindow::showProblemInfo()
{
    m_problemSummary =
        ProblemLayout::problemSummary(m_problem->totalChars(), m_problem->kanjiOrSymbolChars(),
                                      m_problem->alphanumericChars(), m_problem->halfWidthChars());
    // The cursor spans the first character to type.
    QString first;
    if (m_problem->count() > 0 && m_problem->line(1).count() > 0)
        first = m_problem->line(1).charAt(1).text();
    m_problemView->showProblemInfo(m_problemSummary + QStringLiteral("  ストローク:0  入力:0/0"),
                                   first);
}

void TestWindow::resetRun()
{
    m_record.setAcceptedChars(0);
    m_record.setErrors(0);
    m_record.setCharsPerMinute(0);
    m_record.setAccuracy(0);
    m_record.setSecondsUsed(0);
    m_countdownTimer->stop();
    m_choosePrinterAction->setEnabled(false);
    if (m_inputPane)
        m_inputPane->hideResult();
}

void TestWindow::showDuration()
{
    const int minutes = m_settings.durationMinutes();
    m_durationAction->setText(QString::number(minutes) + QStringLiteral("分"));
    m_durationAction->setChecked(true);
    m_countdown = Countdown{minutes, 0};
    if (m_problemView)
        m_problemView->showClock(minutes, 0);
}

void TestWindow::replaceProblem(bool retry, const QString& fileName, bool isNext)
{
    // Every problem gets new child windows; the old ones stop being followed before they go.
    stopFollowingProblemWindow();
    m_problem.reset();
    destroyChildWindows();
    createChildWindows();
    newProblem();
    layoutChildWindows();
    resetRun();

    // After a load error the window stays, with nothing to type: the 問題 menu can still
    // pick another problem, and the space bar starts nothing meanwhile.
    if (!tryLoading(
            [&] { return m_drillLines.isEmpty() ? loadProblem(retry, fileName) : loadDrill(); })) {
        m_problem.reset();
        if (m_inputPane) {
            m_inputPane->setProblem(nullptr, &m_problemSummary);
            m_inputPane->hideInputBox();
        }
    }

    // A replace or close that arrived while drawing runs once the windows are back.
    followProblemWindow();
    showDuration();
    if (m_record.isCertification())
        m_durationMenuAction->setEnabled(m_settings.canChangeDuration());
    showChildWindows();
    focusInput();
    if (isNext)
        m_nextProblemAction->setVisible(false);
}

void TestWindow::startOver()
{
    replaceProblem(true, QString(), false);
}

void TestWindow::nextProblem()
{
    m_drillLines.clear();
    replaceProblem(false, QString(), true);
}

void TestWindow::chooseProblem(int index)
{
    if (index < 0 || index >= m_problemActions.size())
        return;
    m_drillLines.clear();
    replaceProblem(false, m_problemActions.at(index)->data().toString(), false);
}

// ---------------------------------------------------------------------------------------
// Timers

void TestWindow::countdownTick()
{
    if (!m_problemView)
        return;
    const bool ended = m_countdown.tick();
    m_problemView->showClock(m_countdown.minutes, m_countdown.seconds);
    if (!ended)
        return;
    m_record.setSecondsUsed(std::min(RunRecord::CountLimit, m_settings.durationMinutes() * 60));
    m_countdownTimer->stop();
    if (m_inputPane)
        m_inputPane->finishRun();
}

void TestWindow::blinkCursor()
{
    m_cursorShown = !m_cursorShown;
    m_cursorBlinkTimer->setInterval(m_cursorShown ? 500 : 700);
    if (m_problemView)
        m_problemView->setCursorShown(m_cursorShown);
}

// ---------------------------------------------------------------------------------------
// TestHost

void TestWindow::startCountdown()
{
    m_countdownTimer->start();
}
void TestWindow::stopCountdown()
{
    m_countdownTimer->stop();
}
bool TestWindow::isCountingDown() const
{
    return m_countdownTimer->isActive();
}
bool TestWindow::isCursorBlinking() const
{
    return m_cursorBlinkTimer->isActive();
}
void TestWindow::setDurationMenuEnabled(bool on)
{
    m_durationMenuAction->setEnabled(on);
}
void TestWindow::showNextProblemMenu()
{
    m_nextProblemAction->setVisible(true);
}

void TestWindow::enablePrintMenus()
{
    m_printAction->setEnabled(true);
    m_choosePrinterAction->setEnabled(true);
}

// ---------------------------------------------------------------------------------------
// Other menus

void TestWindow::chooseDuration()
{
    // A duration the chooser cannot show falls back to five minutes, and the clock and the
    // menu say so: the run is timed and scored by the duration they show.
    const Expected<int> chosen = DurationDialog::chooseMinutes(m_settings.durationMinutes(), this);
    m_settings.setDurationMinutes(chosen ? *chosen : 5);
    showDuration();
}

void TestWindow::printCertificate()
{
    // A certificate names its record in the log, so a record that is not there cannot be
    // vouched for. One still waiting is sent now, if the log takes it.
    if (!m_record.isLogged() && !m_record.keptAs().isEmpty()) {
        const auto number =
            PendingRecords(PendingRecords::defaultFolder()).sendNow(m_record.keptAs());
        if (number) {
            m_record.setRecordNumber(*number);
            m_record.setLogged(true);
        }
    }
    if (!m_record.isLogged()) {
        QString text =
            QStringLiteral("この結果はログに記録されていないため、認定証を印刷できません。");
        if (!m_record.keptAs().isEmpty())
            text += QStringLiteral("\r記録は保管してあります。ログに書き込めるようになってから、"
                                   "もう一度印刷してください。");
        showMessage(text, MessageButtons::Ok, QStringLiteral("印刷エラー"), MessageIcon::Critical);
        return;
    }
    if (showMessage(QStringLiteral("印刷を行います。よろしいですか？"), MessageButtons::OkCancel,
                    QStringLiteral("印刷確認"), MessageIcon::Information) == MessageAnswer::Cancel)
        return;
    RunResult run = RunResult::of(m_record, m_problem.get());
    run.recordNumber = m_record.recordNumber();
    CertificatePrinter certificate;
    certificate.printerName = m_settings.printerName();
    certificate.fillFrom(run, m_settings.paperSize());
    if (!m_settings.certificateKeyFile().isEmpty()) {
        // A school that signs its certificates must not hand out one without the code.
        const Expected<SiteKey> key =
            SiteKey::load(m_settings.certificateKeyFile(), m_settings.classFolders());
        if (!key) {
            showMessage(QStringLiteral("認定証を印刷できませんでした。\r") + key.error().message(),
                        MessageButtons::Ok, QStringLiteral("印刷エラー"), MessageIcon::Critical);
            return;
        }
        certificate.seal =
            CertificateCode::seal(CertificateCode::fieldsOf(run, certificate.printedAt), *key,
                                  m_settings.verifyAddress());
    }
    const Expected<void> printed = certificate.print();
    if (printed && !m_databaseRunId.isNull() && !certificate.seal.checkCode.isEmpty()) {
        DatabaseQueue queue(DatabaseQueue::defaultFolder());
        queue.add(
            CertificateRow{m_databaseRunId, certificate.seal.checkCode, certificate.printedAt});
        queue.sendInBackground(m_settings.databaseServer());
    }
    if (!printed) {
        // The result stays on screen, so the user can fix the printer and try again.
        showMessage(
            QStringLiteral("認定証を印刷できませんでした。\r") + printed.error().message() +
                QStringLiteral("\rプリンタの電源と接続、印刷サービスを確かめてから、もう一度印刷"
                               "してください。"),
            MessageButtons::Ok, QStringLiteral("印刷エラー"), MessageIcon::Critical);
    }
}

void TestWindow::choosePrinter()
{
    PrinterDialog dialog(m_settings, this);
    dialog.exec();
}

void TestWindow::showRanking()
{
    RankingWindow window(m_settings, this);
    connect(&window, &RankingWindow::resultsBrowserRequested, this,
            &TestWindow::resultsBrowserRequested);
    window.exec();
}

void TestWindow::showWeakCharacters()
{
    if (!m_inputPane || !m_problem || !m_inputPane->checker().finished())
        return;
    const RunReview::Review review = RunReview::review(m_inputPane->checker().trace());
    WeakCharactersDialog dialog(review, !m_record.isCertification(), this);
    const int chosen = dialog.exec();
    if (chosen == WeakCharactersDialog::HelpChosen)
        openHelp(m_help, this, HelpPage::Review);
    if (chosen != WeakCharactersDialog::DrillChosen)
        return;
    QStringList problemLines;
    for (const ProblemLine& line : *m_problem)
        problemLines.append(line.text());
    startDrill(DrillBuilder::build(problemLines, review.missed));
}

void TestWindow::startDrill(const QStringList& lines)
{
    // A drill is practice: certification never offers one.
    if (lines.isEmpty() || m_record.isCertification())
        return;
    m_drillLines = lines;
    replaceProblem(false, QString(), false);
}

void TestWindow::showHelpContents()
{
    openHelp(m_help, this, HelpPage::Contents);
}
