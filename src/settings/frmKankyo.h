#pragma once

#include "KankyoRules.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QScrollBar;

// The settings dialog: fills its controls from objKankyo, repairs the four folders with the
// operator whenever it becomes active, and on "保存して終了" copies everything back and
// saves the settings file.
class frmKankyo : public QDialog
{
    Q_OBJECT
public:
    static frmKankyo& instance();

    // Loads the dialog again, runs the first activation and shows it modally.
    int showModal();

    void Form_Load();
    // Centres the dialog and checks the folders; the dialog closes when the check gives up.
    void Form_Activate();

    void optFilePath_Click(int Index);
    void optTestFilePath_Click(int Index);
    void optLogPath_Click(int Index);
    void optSubLogPath_Click(int Index);
    void optLogName_Click(int Index);
    void optSubLogName_Click(int Index);
    void chkDataPath_Click();
    void chkDefaultPlactice_Click();
    void chkLogPath_Click();
    void chkSubLogPath_Click();
    void optSubLog_Click(int Index);
    void cmdLogstyle_Click();
    void cboBackMode_Click();
    void vscLastTime_Change();
    void vscSpeed_Change();
    void vscWindowSize_Change();
    void vscBaseFont_Change();
    void vscReturnFont_Change();
    void vscResultFont_Change();
    void cmdSansyo_Click(int Index);
    void cmdFile_Click(int Index);
    void cmdBackColor_Click();
    void cmdProblemBackColor_Click();
    void cmdProblemColor_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    // The folder check, with the failures counted over the whole run of the program.
    const KankyoRules::FolderCheck& folderCheck() const { return m_check; }
    // The remembered custom colours of the colour chooser.
    const std::array<qint32, 16>& customColors() const { return m_customColors; }

    QLabel* lblHeader = nullptr;
    QScrollBar* vscLastTime = nullptr;
    QLabel* lblLastTime = nullptr;
    QLabel* lblfun = nullptr;
    std::array<QRadioButton*, 2> optChangeTime{};
    QLabel* lblChangeTime = nullptr;
    QScrollBar* vscSpeed = nullptr;
    QLabel* lblSpeed = nullptr;
    QLabel* lblSpeedLabel = nullptr;
    std::array<QRadioButton*, 3> optRandom{};
    std::array<QRadioButton*, 2> optFilePath{};
    QCheckBox* chkDataPath = nullptr;
    QLineEdit* txtFilePath = nullptr;
    std::array<QRadioButton*, 2> optTestFilePath{};
    QCheckBox* chkDefaultPlactice = nullptr;
    QLineEdit* txtTestFilePath = nullptr;
    std::array<QRadioButton*, 2> optLogPath{};
    QCheckBox* chkLogPath = nullptr;
    QLineEdit* txtLogpath = nullptr;
    std::array<QRadioButton*, 2> optLogName{};
    QLineEdit* txtLogName = nullptr;
    std::array<QRadioButton*, 2> optSubLog{};
    QPushButton* cmdLogstyle = nullptr;
    std::array<QRadioButton*, 2> optSubLogPath{};
    QCheckBox* chkSubLogPath = nullptr;
    QLineEdit* txtSubLogPath = nullptr;
    std::array<QRadioButton*, 2> optSubLogName{};
    QLineEdit* txtSubLogName = nullptr;
    // Folder browse buttons: 0 certification data, 1 log, 2 pass log, 3 practice.
    std::array<QPushButton*, 4> cmdSansyo{};
    // File browse buttons: 0 main log, 1 pass log.
    std::array<QPushButton*, 2> cmdFile{};
    std::array<QRadioButton*, 3> optPaper{};
    QLabel* lblPrinterAssert = nullptr;
    std::array<QRadioButton*, 2> optRanking{};
    QLabel* Label1 = nullptr;
    QLineEdit* txtBackColor = nullptr;
    QPushButton* cmdBackColor = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboBackMode = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtProblemBackColor = nullptr;
    QPushButton* cmdProblemBackColor = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtProblemColor = nullptr;
    QPushButton* cmdProblemColor = nullptr;
    QGroupBox* frmWindowSize = nullptr;
    QLabel* Label10 = nullptr;
    QScrollBar* vscWindowSize = nullptr;
    QLabel* lblWindowSize = nullptr;
    QLabel* Label6 = nullptr;
    QScrollBar* vscBaseFont = nullptr;
    QLabel* lblBaseFont = nullptr;
    QLabel* Label5 = nullptr;
    QScrollBar* vscReturnFont = nullptr;
    QLabel* lblReturnFont = nullptr;
    QLabel* Label8 = nullptr;
    QScrollBar* vscResultFont = nullptr;
    QLabel* lblResultFont = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmKankyo();
    void buildControls();
    void connectControls();
    void fitToScreen();

    // One folder group, as the check sees it.
    struct FolderControls {
        std::array<QRadioButton*, 2>* opt;
        QCheckBox* chk;
        QLineEdit* txt;
        QPushButton* sansyo;
    };
    FolderControls folderControls(KankyoRules::Folder folder);
    void setFolderOption(KankyoRules::Folder folder, int index);
    void loadFolder(KankyoRules::Folder folder, const QString& stored);
    void setNameOption(std::array<QRadioButton*, 2>& opt, QLineEdit* txt, QPushButton* file,
                       const QString& defaultName, int index);
    void pickColor(QLineEdit* box);
    // Runs a child dialog; this dialog becomes active again afterwards.
    template <typename Show> void runChild(Show show);

    KankyoRules::FolderCheck m_check;
    std::array<QString, KankyoRules::FolderCount> m_defaults;
    std::array<qint32, 16> m_customColors{};
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
};
