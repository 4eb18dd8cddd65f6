#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
class QRadioButton;
class RunRecord;

// Before a certification: how prepared are you? Admitting to no practice turns the run into
// a practice run.
class SelfAssessmentDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SelfAssessmentDialog(RunRecord& record, QWidget* parent = nullptr);

    int exec() override;

    void prepare();
    void fitAndCenter();
    void confirm();
    void chooseAndConfirm(int index);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* m_okButton = nullptr;
    QList<QRadioButton*> m_answerButtons;
    RunRecord& m_record;
};
