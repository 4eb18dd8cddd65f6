#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Log-file name chooser. The caller sets the folder to list and the current name, runs exec()
// and reads fileName() back: the accepted name after OK, empty after Cancel or Escape, the
// name it was given after closing by the frame.
class LogFileDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LogFileDialog(QWidget* parent = nullptr);

    void setFolder(const QString& folder) { m_folder = folder; }
    QString folder() const { return m_folder; }
    void setFileName(const QString& name) { m_fileName = name; }
    QString fileName() const { return m_fileName; }

    // Fills the dialog afresh and shows it modally; Accepted only after OK.
    int exec() override;

    void prepare();
    void takeSelectedName();
    void confirm();
    void cancel();

    // The name Enter leaves in the box: ".log" added to a name without any extension.
    static QString withLogExtension(const QString& name);

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chooseSelectedName();
    // Return in the name box adds ".log" to a name without an extension.
    void completeTypedName();
    QLineEdit* m_nameEdit = nullptr;
    QListWidget* m_fileList = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    void fillFiles();

    QString m_folder;
    QString m_fileName;
    QString m_callerFolder;
    QString m_callerFileName;
};
