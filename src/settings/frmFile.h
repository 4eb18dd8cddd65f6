#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Log-file name chooser. The caller puts the folder into DirPath and the current name into
// FileName, shows the dialog modally and reads FileName back; an empty FileName means the
// operator cancelled.
class frmFile : public QDialog
{
    Q_OBJECT
public:
    static frmFile& instance();

    // Loads the dialog again and shows it modally.
    int showModal();

    void Form_Load();
    void filList_Click();
    void filList_DblClick();
    void txtFileName_KeyPress(int KeyAscii);
    void cmdOk_Click();
    void cmdCancel_Click();

    QLineEdit* txtFileName = nullptr;
    QListWidget* filList = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The name Enter leaves in the box: ".log" added to a name without any extension.
    static QString withLogExtension(const QString& name);

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmFile();
    void fillFiles();

    QString m_callerDirPath;
    QString m_callerFileName;
};
