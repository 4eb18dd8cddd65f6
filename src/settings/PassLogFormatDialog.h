#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class Settings;

// Chooses the columns of the pass log. OK stores the choice and, when it changed, marks the
// change in the pass log.
class PassLogFormatDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PassLogFormatDialog(Settings& settings, QWidget* parent = nullptr);

    // Fills the dialog afresh and shows it modally.
    int exec() override;

    void prepare();
    void confirm();
    void cancel();

private:
    void addSelectedColumn();
    void removeSelectedColumn();
    QListWidget* m_catalogueList = nullptr;
    QListWidget* m_chosenList = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QStringList chosenTitles() const;

    Settings& m_settings;
};
