#pragma once

#include "common/Expected.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollBar;

// Test-duration chooser. The caller sets the minutes to show, runs exec() and reads minutes()
// back: the choice after OK, the minutes it was given after Cancel or closing by the frame.
class DurationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DurationDialog(QWidget* parent = nullptr);

    // An error when current cannot be shown on the bar (outside 1 to 60).
    Expected<void> setMinutes(int current);
    // An error when the label holds no number.
    Expected<int> minutes() const;
    // Loads the dialog again and shows it modally.
    int exec() override;

    // The whole exchange for the duration menu: setMinutes(current), exec(), minutes().
    static Expected<int> chooseMinutes(int current, QWidget* parent = nullptr);

    void prepare();
    void confirm();
    void cancel();

public Q_SLOTS:
    // Closing by the frame keeps the duration the dialog was opened with.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rememberShownMinutes();
    void showChosenMinutes();
    QLabel* m_minutesLabel = nullptr;
    QScrollBar* m_minutesBar = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_shownMinutes;
};
