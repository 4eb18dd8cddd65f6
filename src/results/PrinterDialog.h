#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Settings;

// Printer and paper for the certificate, in force until the program ends: both go into the
// settings without saving them.
class PrinterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PrinterDialog(Settings& settings, QWidget* parent = nullptr);

    // Fills the list with the installed printers in the system's order,
    // the current printer selected (the first when it is not among them).
    void prepare();
    // prepare(), then shown modally.
    int exec() override;

    void markPaper();
    void applyChoice();

private:
    QLabel* m_promptLabel = nullptr;
    QComboBox* m_printerBox = nullptr;
    QGroupBox* m_paperGroup = nullptr;
    QList<QRadioButton*> m_paperButtons; // 0 A4, 1 B4, 2 B5
    QLabel* m_noteLabel = nullptr;
    QLabel* m_settingsNoteLabel = nullptr;
    QPushButton* m_selectButton = nullptr;
    Settings& m_settings;
};
