#pragma once

#include <QWidget>

class QPushButton;

// The main menu between tests: practice, certification, ranking, settings, end.
class frmSentaku : public QWidget {
    Q_OBJECT
public:
    static frmSentaku& instance();

    static constexpr int ButtonHeight = 56;
    static constexpr int ButtonWidth = 260;

    void Form_Load();
    void Form_Activate();

    void cmdRensyu_Click();
    void cmdNintei_Click();
    void cmdRanking_Click();
    void cmdKankyo_Click();
    void cmdEnd_Click();

    QPushButton* cmdRensyu = nullptr;
    QPushButton* cmdNintei = nullptr;
    QPushButton* cmdRanking = nullptr;
    QPushButton* cmdKankyo = nullptr;
    QPushButton* cmdEnd = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmSentaku();
    void openTestWindow();
    // False, after saying so once, when the folder holds no problem file.
    bool problemsFoundIn(const QString& folder);

    bool m_firstActivation = false;
};
