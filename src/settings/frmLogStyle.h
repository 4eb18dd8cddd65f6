#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// Chooses the columns of the pass log. OK stores the choice and, when it changed, marks the
// change in the pass log.
class frmLogStyle : public QDialog
{
    Q_OBJECT
public:
    static frmLogStyle& instance();

    // Loads the dialog again and shows it modally.
    int showModal();

    void Form_Load();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    QListWidget* lstKoumoku = nullptr;
    QListWidget* lstInsert = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    frmLogStyle();
    QStringList insertTitles() const;
};
