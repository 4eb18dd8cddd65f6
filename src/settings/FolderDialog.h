#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Folder chooser. The caller sets the starting folder, runs exec() and reads folder() back:
// the folder typed or listed after OK, empty after Cancel or Escape, the starting folder
// after closing by the frame.
class FolderDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FolderDialog(QWidget* parent = nullptr);

    void setFolder(const QString& folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // Fills the dialog afresh and shows it modally; Accepted only after OK.
    int exec() override;

    // The folder picked in a fresh chooser, empty when it was not confirmed.
    static QString pick(QWidget* parent);

    void prepare();
    void confirm();
    void cancel();

    // The folder the list shows; moving it updates m_folderEdit.
    QString listedFolder() const { return m_listedFolder; }
    // Enters a folder of the list, as double-click or Enter on it does.
    void enterFolder(const QString& path);

public Q_SLOTS:
    // Closing by the frame: the caller gets back the folder it handed over.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changeDrive();
    void showListedFolder();
    // Return in the folder box shows the folder typed there.
    void showTypedFolder();
    QComboBox* m_driveBox = nullptr;
    QListWidget* m_folderList = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    void showFolder();
    void fillDrives();
    void selectDrive(const QString& root);
    bool openFolder(const QString& path);
    QString currentFolderOn(const QString& drive) const;
    void enterItem(QListWidgetItem* item);

    QStringList m_drives;
    QString m_drive;
    QString m_listedFolder;
    QString m_folder;
    QString m_callerFolder;
};
