#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// User entry before every run: the ID (input method off) and the name (input method on),
// copied into the result record as they change.
class frmTouroku : public QDialog
{
    Q_OBJECT
public:
    static frmTouroku& instance();

    // Loads and shows the dialog modally, as the main menu does before a run.
    void showModal();

    void Form_Load();
    void Form_Activate();
    void txtID_Change();
    void txtName_Change();
    void txtID_KeyPress(int keyAscii);
    void txtName_KeyPress(int keyAscii);
    void cmdOK_Click();
    // Closing by the frame or Escape: allowed only with values the log can take.
    void reject() override;

    QLabel* lblId = nullptr;
    QLineEdit* txtID = nullptr;
    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmTouroku();
    // False, after saying so and putting the cursor on it, when a box holds a character
    // that cannot go into the log.
    bool entriesFitTheLog();
};
