#pragma once

#include "test/frmInput.h"
#include "test/frmReidai.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

// The test window: a frame with the problem window and the input window, the menus, the
// countdown and the cursor blink, and the loading and replacing of problems.
class mdiKenteiBack : public QMainWindow
{
    Q_OBJECT
public:
    static mdiKenteiBack& instance();

    // The child windows of the current problem (new ones for every problem).
    frmReidai* Reidai() const { return m_reidai; }
    frmInput* Input() const { return m_input; }

    void MDIForm_Load();
    void MDIForm_Activate();
    void MDIForm_Unload();

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

private:
    mdiKenteiBack();

    QPointer<frmReidai> m_reidai;
    QPointer<frmInput> m_input;
    QPointer<QMdiSubWindow> m_reidaiSub;
    QPointer<QMdiSubWindow> m_inputSub;
};
