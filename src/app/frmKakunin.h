#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
class QRadioButton;

// Before a certification: how prepared are you? Admitting to no practice turns the run into
// a practice run.
class frmKakunin : public QDialog
{
    Q_OBJECT
public:
    static frmKakunin& instance();

    void showModal();

    void Form_Load();
    void Form_Activate();
    void cmdOk_Click();
    void opt_kakunin_DblClick(int index);
    void opt_kakunin_KeyPress(int index, int keyAscii);

    QPushButton* cmdOK = nullptr;
    QList<QRadioButton*> opt_kakunin;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmKakunin();
};
