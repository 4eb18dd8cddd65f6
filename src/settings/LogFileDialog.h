#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Log-file name chooser. The caller puts the folder into chosenFolder and the current name into
// chosenLogFileName, shows the dialog modally and reads chosenLogFileName back; an empty
// chosenLogFileName means the operator cancelled.
class LogFileDialog : public QDialog
{
    Q_OBJECT
public:
    static LogFileDialog& instance();

    // Fills the dialog afresh and shows it modally.
    int showModal();

    void prepare();
    void takeSelectedName();
    void chooseSelectedName();
    void handleNameKey(int keyCode);
    void confirm();
    void cancel();

    QLineEdit* m_nameEdit = nullptr;
    QListWidget* m_fileList = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    // The name Enter leaves in the box: ".log" added to a name without any extension.
    static QString withLogExtension(const QString& name);

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    LogFileDialog();
    void fillFiles();

    QString m_callerDirPath;
    QString m_callerFileName;
};
