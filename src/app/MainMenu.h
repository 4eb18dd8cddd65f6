#pragma once

#include <QWidget>

class QPushButton;
class RunRecord;
class Settings;
class TestWindow;

// The main menu between tests: practice, certification, ranking, settings, end.
class MainMenu : public QWidget
{
    Q_OBJECT
public:
    MainMenu(Settings& settings, RunRecord& record, TestWindow& testWindow);

    static constexpr int ButtonHeight = 56;
    static constexpr int ButtonWidth = 260;

    void prepare();
    void hideSwitchedOffButtons();

    void startPractice();
    void startCertification();
    void openRanking();
    void openSettings();
    void quitProgram();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* m_practiceButton = nullptr;
    QPushButton* m_certificationButton = nullptr;
    QPushButton* m_rankingButton = nullptr;
    QPushButton* m_settingsButton = nullptr;
    QPushButton* m_quitButton = nullptr;

    void openTestWindow();
    // False, after saying so once, when no usable folder holding problem files was found.
    bool problemsFoundIn(const QString& configuredFolder);

    bool m_switchesPending = false; // the display switches still to be applied after prepare()
    Settings& m_settings;
    RunRecord& m_record;
    TestWindow& m_testWindow;
};
