#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Folder chooser. The caller puts the starting folder into chosenFolder, shows the dialog
// modally and reads chosenFolder back; an empty chosenFolder means the operator cancelled.
class FolderDialog : public QDialog
{
    Q_OBJECT
public:
    static FolderDialog& instance();

    // Fills the dialog afresh and shows it modally.
    int showModal();

    void prepare();
    void changeDrive();
    void showListedFolder();
    void handleFolderKey(int keyCode);
    void confirm();
    void cancel();

    // The folder the list shows; moving it updates m_folderEdit.
    QString listedFolder() const { return m_listPath; }
    // Enters a folder of the list, as double-click or Enter on it does.
    void enterFolder(const QString& path);

    QComboBox* m_driveBox = nullptr;
    QListWidget* m_folderList = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

public Q_SLOTS:
    // Closing by the frame: the caller gets back the folder it handed over.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FolderDialog();
    void showFolder();
    void fillDrives();
    void selectDrive(const QString& root);
    bool openFolder(const QString& path);
    QString currentFolderOn(const QString& drive) const;
    void enterItem(QListWidgetItem* item);

    QStringList m_drives;
    QString m_drive;
    QString m_listPath;
    QString m_callerDirPath;
};
