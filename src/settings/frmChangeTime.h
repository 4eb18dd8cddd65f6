#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollBar;

// Test-duration chooser. The caller sets lblTime and the bar, shows the dialog modally and
// reads lblTime back; the buttons only hide the dialog so that the label can still be read.
class frmChangeTime : public QDialog
{
    Q_OBJECT
public:
    static frmChangeTime& instance();

    // The whole exchange for the duration menu: shows current minutes, returns the choice
    // (current again after Cancel or closing by the frame). Raises PelkoError 380 when
    // current cannot be shown on the bar (outside 1 to 60).
    static int ChooseMinutes(int current);

    void Form_Load();
    void Form_Activate();
    void vscChangeTime_Change();
    void cmdOk_Click();
    void cmdCancel_Click();

    QLabel* lblTime = nullptr;
    QScrollBar* vscChangeTime = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

public Q_SLOTS:
    // Closing by the frame keeps the duration the dialog was opened with.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    frmChangeTime();

    QString m_activateCaption;
};
