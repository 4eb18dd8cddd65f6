#pragma once

#include "test/TestHost.h"
#include "platform/WindowFollow.h"
#include "test/frmInput.h"
#include "test/frmReidai.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

// The test window: a frame with the problem window and the input window, the menus, the
// countdown and the cursor blink, and the loading and replacing of problems.
class mdiKenteiBack : public QMainWindow, public TestHost
{
    Q_OBJECT
public:
    static mdiKenteiBack& instance();

    // The child windows of the current problem (new ones for every problem).
    frmReidai* Reidai() const { return m_reidai; }
    frmInput* Input() const { return m_input; }

    // Opens the window on a new problem. When no problem can be loaded the window gives up:
    // TestReady becomes false, the window hides and the main menu is shown again.
    void MDIForm_Load();
    void MDIForm_Activate();
    void MDIForm_Unload();
    // Closes the window: the child windows go, the timers stop, then MDIForm_Unload.
    void Unload();

    void timLastTime_Timer();
    void timCursor_Timer();

    void mnuStop_Click();
    void mnuNext_Click();
    void mnuProblemList_Click(int index);
    void mnuEnd_Click();
    void mnuPrint_Click();
    void mnuPrinter_select_Click();
    void mnuMin_Click();
    void mnuRanking_Click();
    void mnuVersion_Click();
    void mnuHelp_index_Click();

    void PrepareReidai(bool retry, const QString& fileName);
    void ResetRun();
    void ShowLastTime();
    void LayoutReidai();
    void DrawReidai();

    // The input window jumps under the problem window when the user has dragged it.
    void HookReidaiWindow();
    void UnhookReidaiWindow();
    bool isReidaiHooked() const;

    // While a problem is drawn, events run between rows; a replace or close action that
    // arrives then waits until the drawing is done.
    bool isDrawing() const { return m_drawing; }

    // The input window's run has started and not yet ended.
    bool runInProgress() const;

    // TestHost: what the input window asks of this one.
    void startCountdown() override;
    void stopCountdown() override;
    void setTimeMenuEnabled(bool on) override;
    void showNextProblemMenu() override;
    void enablePrintMenus() override;

    QMdiArea* mdiArea = nullptr;
    QLabel* picPelko = nullptr;
    QTimer* timLastTime = nullptr; // 1000 ms, the countdown of a running test
    QTimer* timCursor = nullptr;   // 500 ms shown, 700 ms hidden

    QMenu* mnuKentei = nullptr;
    QAction* mnuStop = nullptr;
    QAction* mnuEnd = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrinter_select = nullptr;
    QMenu* mnuOption = nullptr;
    QAction* mnuTime = nullptr; // the submenu "時間の設定(&T)" as an item
    QAction* mnuMin = nullptr;
    QAction* mnuRanking = nullptr;
    QMenu* mnuProblem = nullptr;
    QList<QAction*> mnuProblemList; // element 0 is the design-time placeholder
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelp_index = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuNext = nullptr;

    bool lBlnLoadError = false;
    QString lStrFileName;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    mdiKenteiBack();
    void buildMenus();
    void resetMenus();
    // The information line and the first cursor width, once a problem is drawn.
    void ShowReidaiInfo();
    // The problem window's own controls in its client area.
    void placeReidaiControls(int innerWidth, int innerHeight);
    void createChildWindows();
    void unloadChildWindows();
    void showChildWindows();
    void fillProblemMenu();
    void clearProblemMenu();
    void replaceProblem(bool retry, const QString& fileName, bool isNext);
    // Runs the action now, or once the drawing under way is done.
    bool deferWhileDrawing(std::function<void()> action);
    void runDeferred();
    QSize clientSize() const;
    void placeLogo();
    void focusInput();
    // A menu closed or the menu bar let go of the keyboard: until the run has ended the keys
    // belong to the input window again, so none go to the bar and Enter cannot open a menu.
    void returnKeysToInput();
    bool inputWantsKeys() const;
    // Closing throws a run in progress away: true when there is none or the user agrees.
    bool confirmClose();

    bool m_drawing = false;
    bool m_confirmingClose = false;
    std::function<void()> m_deferred;

    QPointer<frmReidai> m_reidai;
    QPointer<frmInput> m_input;
    QPointer<QMdiSubWindow> m_reidaiSub;
    QPointer<QMdiSubWindow> m_inputSub;
    WindowFollow m_follow;
};
