#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RunRecord;

// User entry before every run: the ID (input method off) and the name (input method on),
// copied into the result record as they change.
class UserEntryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UserEntryDialog(RunRecord& record, QWidget* parent = nullptr);

    // What a box takes: longer, the certificate's code (every field, the school's address
    // and the signature) grows past what a scan of a B5 sheet reads back (at about 64 kanji
    // in the name), so both stay well below that.
    static constexpr int MaxIdLength = 32;
    static constexpr int MaxNameLength = 32;

    // Fills the dialog afresh and shows it modally, as the main menu does before a run.
    int exec() override;

    void prepare();
    void focusEntryBox();
    void copyIdToRecord();
    void copyNameToRecord();
    // Return in a box takes its text and confirms.
    void confirmFromIdBox();
    void confirmFromNameBox();
    void confirm();
    // Closing by the frame or Escape: allowed only with values the log can take.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_idLabel = nullptr;
    QLineEdit* m_idEdit = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    // False, after saying so and putting the cursor on it, when a box holds a character
    // that cannot go into the log.
    bool entriesFitTheLog();

    RunRecord& m_record;
};
