#pragma once

#include "common/Expected.h"
#include "platform/WindowFollow.h"
#include "typing/Countdown.h"
#include "typing/InputPane.h"
#include "typing/ProblemView.h"
#include "typing/TestHost.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>

class HelpViewer;
class LogWriter;
class Problem;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class RunRecord;
struct RunResult;
class Settings;

// The test window: a frame with the problem window and the input window, the menus, the
// countdown and the cursor blink, and the loading and replacing of problems.
class TestWindow : public QMainWindow, public TestHost
{
    Q_OBJECT
public:
    TestWindow(Settings& settings, RunRecord& record, HelpViewer& help);
    ~TestWindow() override;

    // The window shown again whenever this one closes or gives up.
    void setMainMenu(QWidget* mainMenu) { m_mainMenu = mainMenu; }

    // Ready for a run: set by the main menu before opening, cleared when no problem loads.
    bool isReady() const { return m_ready; }
    void setReady(bool ready) { m_ready = ready; }
    // A folder picked before the window opened because the configured one could not be
    // used (empty: none). Until the window closes, its problems are listed and loaded; the
    // settings keep their folder.
    void useChosenFolder(const QString& folder) { m_chosenFolder = folder; }
    // What the loader says when no usable problem folder was obtained.
    static void reportUnusableFolder();

    // The problem of the running test and its information line; null between tests.
    const Problem* problem() const { return m_problem.get(); }
    QString problemSummary() const { return m_problemSummary; }

    // The child windows of the current problem (new ones for every problem).
    ProblemView* problemView() const { return m_problemView; }
    InputPane* inputPane() const { return m_inputPane; }

    // Opens the window on a new problem. When no problem can be loaded the window gives up:
    // it stops being ready, hides and the main menu is shown again.
    void open();
    void applyBackColor();
    void returnToMainMenu();
    // Closes the window: the child windows go, the timers stop, then returnToMainMenu.
    void closeWindow();

    void countdownTick();
    void blinkCursor();

    void startOver();
    void nextProblem();
    void chooseProblem(int index);
    void closeTest();
    void printCertificate();
    void choosePrinter();
    void chooseDuration();
    void showRanking();
    void showHelpContents();
    // 苦手な文字 of the finished run; the drill it may start.
    void showWeakCharacters();
    void startDrill(const QStringList& lines);

    // The input window jumps under the problem window when the user has dragged it.
    void followProblemWindow();
    void stopFollowingProblemWindow();
    bool isFollowingProblemWindow() const;

    // The input window's run has started and not yet ended.
    bool runInProgress() const;
    // The countdown of a running test is on; the cursor blinks while the window is open.
    bool isCountingDown() const;
    bool isCursorBlinking() const;
    // The file of the current problem (practice remembers it for the next load).
    QString problemFileName() const { return m_problemFileName; }

    // TestHost: what the input window asks of this one.
    void startCountdown() override;
    void stopCountdown() override;
    int secondsLeft() const override { return m_countdown.secondsLeft(); }
    void setDurationMenuEnabled(bool on) override;
    void showNextProblemMenu() override;
    void enablePrintMenus() override;

Q_SIGNALS:
    // The about window belongs to the application, not to the test.
    void aboutRequested();
    // So is the results browser, which sits above the test in the modules.
    void resultsBrowserRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Writes the finished run to the logs, notes the outcome in the record, tells a failure.
    void logRun(const RunResult& run);
    // A copy of the logged run for the results database, when one is configured.
    void queueForDatabase(const LogWriter& writer);
    Expected<void> loadProblem(bool retry, const QString& fileName);
    // Where this window's problems come from.
    QString problemFolder() const;
    void resetRun();
    void showDuration();
    void layoutChildWindows();
    void buildMenus();
    // A fresh problem for the next load, handed to the input window.
    void newProblem();
    void showMainMenu();
    void resetMenus();
    // The information line and the first cursor width, once a problem is drawn.
    void showProblemInfo();
    // The problem loaded: drawn, and waiting for the space bar.
    void showLoadedProblem();
    Expected<void> loadDrill();
    void createChildWindows();
    void destroyChildWindows();
    void showChildWindows();
    void fillProblemMenu();
    void clearProblemMenu();
    void replaceProblem(bool retry, const QString& fileName, bool isNext);
    // Runs load and shows its error; false when no problem was loaded.
    bool tryLoading(const std::function<Expected<void>()>& load);
    // Offers to convert the UTF-8 file that failed to load; true once it is converted.
    bool convertUtf8Problem(const QString& description);
    void giveUpLoading();
    QSize clientSize() const;
    void placeLogo();
    void focusInput();
    // A menu closed or the menu bar let go of the keyboard: until the run has ended the keys
    // belong to the input window again, so none go to the bar and Enter cannot open a menu.
    void returnKeysToInput();
    bool inputWantsKeys() const;
    // Closing throws a run in progress away: true when there is none or the user agrees.
    bool confirmClose();

    QMdiArea* m_mdiArea = nullptr;
    QLabel* m_logoLabel = nullptr;
    QTimer* m_countdownTimer = nullptr;   // 1000 ms, the countdown of a running test
    QTimer* m_cursorBlinkTimer = nullptr; // 500 ms shown, 700 ms hidden
    Countdown m_countdown;
    bool m_cursorShown = true;

    QMenu* m_testMenu = nullptr;
    QAction* m_startOverAction = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_choosePrinterAction = nullptr;
    QAction* m_weakCharactersAction = nullptr;
    QMenu* m_optionMenu = nullptr;
    QAction* m_durationMenuAction = nullptr; // the submenu "時間の設定(&T)" as an item
    QAction* m_durationAction = nullptr;
    QAction* m_rankingAction = nullptr;
    QAction* m_resultsBrowserAction = nullptr;
    QAction* m_certificateCheckAction = nullptr;
    QMenu* m_problemMenu = nullptr;
    QList<QAction*> m_problemActions; // entry 0 stands in while no file is listed
    QMenu* m_helpMenu = nullptr;
    QAction* m_helpContentsAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_nextProblemAction = nullptr;

    bool m_loadFailed = false;
    QString m_chosenFolder;
    QString m_problemFileName;

    Settings& m_settings;
    RunRecord& m_record;
    HelpViewer& m_help;
    std::unique_ptr<Problem> m_problem;
    QString m_problemSummary;
    // The drill's text while the problem is a drill; "やり直し" types it again.
    QStringList m_drillLines;
    bool m_ready = false;
    QPointer<QWidget> m_mainMenu;

    bool m_confirmingClose = false;

    QPointer<ProblemView> m_problemView;
    QPointer<InputPane> m_inputPane;
    // The last run's row in the results database, for its certificate's check code.
    QUuid m_databaseRunId;
    QPointer<QMdiSubWindow> m_problemSubWindow;
    QPointer<QMdiSubWindow> m_inputSubWindow;
    WindowFollow m_follow;
};
