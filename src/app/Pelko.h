#pragma once

#include "app/MainMenu.h"
#include "app/SplashScreen.h"
#include "common/Error.h"
#include "platform/HelpViewer.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "typing/TestWindow.h"

// The application: owns the settings, the result record and the long-lived windows, and
// hands each window what it works on. One lives in main() for the whole run.
class Pelko
{
public:
    Pelko();
    Pelko(const Pelko&) = delete;
    Pelko& operator=(const Pelko&) = delete;

    // Splash with the settings, folder checks, then the main menu.
    void start();

    Settings& settings() { return m_settings; }
    RunRecord& record() { return m_record; }
    MainMenu& mainMenu() { return m_mainMenu; }
    TestWindow& testWindow() { return m_testWindow; }
    HelpViewer& helpViewer() { return m_helpViewer; }

private:
    void endOnUnexpectedError(const Error& error);

    Settings m_settings;
    RunRecord m_record;
    HelpViewer m_helpViewer;
    TestWindow m_testWindow{m_settings, m_record, m_helpViewer};
    MainMenu m_mainMenu{m_settings, m_record, m_testWindow};
    // Lives, hidden, as long as the program: screen readers still find it after start-up.
    SplashScreen m_splash{m_settings};
};
