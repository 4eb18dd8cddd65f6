#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollBar;

// Test-duration chooser. The caller sets m_minutesLabel and the bar, shows the dialog modally and
// reads m_minutesLabel back; the buttons only hide the dialog so that the label can still be read.
class DurationDialog : public QDialog
{
    Q_OBJECT
public:
    static DurationDialog& instance();

    // The whole exchange for the duration menu: shows current minutes, returns the choice
    // (current again after Cancel or closing by the frame). Raises PelkoError 380 when
    // current cannot be shown on the bar (outside 1 to 60).
    static int chooseMinutes(int current);

    void prepare();
    void rememberShownMinutes();
    void showChosenMinutes();
    void confirm();
    void cancel();

    QLabel* m_minutesLabel = nullptr;
    QScrollBar* m_minutesBar = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

public Q_SLOTS:
    // Closing by the frame keeps the duration the dialog was opened with.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    DurationDialog();

    QString m_shownMinutes;
};
