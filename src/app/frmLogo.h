#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The splash window: shown modally at start-up, loads the settings, goes after 2 seconds.
class frmLogo : public QDialog {
    Q_OBJECT
public:
    static frmLogo& instance();

    void Form_Load();
    void Form_Activate();
    void timLoadTime_Timer();

    QLabel* lblTitle = nullptr;
    QLabel* lblVer_lb = nullptr;
    QLabel* lblVer = nullptr;
    QLabel* imgLogo = nullptr;
    QTimer* timLoadTime = nullptr;

    // Shows the window modally, as start-up does.
    int showModal();

protected:
    void showEvent(QShowEvent* event) override;

private:
    frmLogo();
    bool m_activated = false;
};
