#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Folder chooser. The caller puts the starting folder into DirPath, shows the dialog
// modally and reads DirPath back; an empty DirPath means the operator cancelled.
class frmDir : public QDialog
{
    Q_OBJECT
public:
    static frmDir& instance();

    // Loads the dialog again and shows it modally.
    int showModal();

    void Form_Load();
    void drvRefer_Change();
    void dirRefer_Change();
    void txtDir_KeyPress(int KeyAscii);
    void cmdOk_Click();
    void cmdCancel_Click();

    // The folder the list shows; moving it updates txtDir.
    QString dirReferPath() const { return m_listPath; }
    // Enters a folder of the list, as double-click or Enter on it does.
    void dirRefer_Enter(const QString& path);

    QComboBox* drvRefer = nullptr;
    QListWidget* dirRefer = nullptr;
    QLineEdit* txtDir = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

public Q_SLOTS:
    // Closing by the frame: the caller gets back the folder it handed over.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmDir();
    void ShowDirPath();
    void fillDrives();
    void selectDrive(const QString& root);
    bool moveList(const QString& path);
    QString currentFolderOn(const QString& drive) const;
    void dirRefer_ItemActivated(QListWidgetItem* item);

    QStringList m_drives;
    QString m_drive;
    QString m_listPath;
    QString m_callerDirPath;
};
