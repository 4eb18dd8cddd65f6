#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: title, version, who makes the program, and the system information tool.
class frmVer : public QDialog
{
    Q_OBJECT
public:
    static frmVer& instance();

    void showModal();

    void Form_Load();
    void cmdOk_Click();
    void cmdsysinfo_Click();
    void StartSysInfo();

    // Tools that show system information, tried in order (tests replace them).
    QStringList sysInfoTools;

    QLabel* imgLogo = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblMakerTitle = nullptr;
    QLabel* lblMaker = nullptr;
    QLabel* lblSyozokuTitle = nullptr;
    QLabel* lblSyozoku = nullptr;
    QLabel* lblURLTitle = nullptr;
    QLabel* lblURL = nullptr;
    QLabel* lblMailTitle = nullptr;
    QLabel* lblMail = nullptr;
    QLabel* lblPS = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdsysinfo = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    frmVer();
};
