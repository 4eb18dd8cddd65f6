#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Printer and paper for the certificate, in force until the program ends.
class frmPrinterSelect : public QDialog
{
    Q_OBJECT
public:
    static frmPrinterSelect& instance();

    // Loads the dialog and fills the list with the installed printers in the system's order,
    // the current printer selected (the first when it is not among them).
    void prepare();
    // prepare(), then shown modally.
    int showModal();

    void Form_Load();
    void cmdSelect_Click();

    QLabel* lblSelect = nullptr;
    QComboBox* cbxPrinter = nullptr;
    QGroupBox* fraPaper = nullptr;
    QList<QRadioButton*> optPaper; // 0 A4, 1 B4, 2 B5
    QLabel* lblPrComment1 = nullptr;
    QLabel* lblPrComment2 = nullptr;
    QPushButton* cmdSelect = nullptr;

private:
    frmPrinterSelect();
};
