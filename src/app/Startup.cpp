#include "Startup.h"

#include "MainMenu.h"
#include "ProgramState.h"
#include "SplashScreen.h"
#include "common/PelkoError.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "settings/SettingsDialog.h"

namespace {

void unexpectedEnding(int number, const QString& description)
{
    showMessage(unexpectedErrorText(number, description));
    appSettings.reset();
    appRecord.reset();
    endProgram(1);
}

} // namespace

void startProgram()
{
    try {
        appSettings = std::make_unique<Settings>();
        appRecord = std::make_unique<RunRecord>();

        SplashScreen::instance().showModal();
        if (!appSettings || !appSettings->isLoaded())
            return;

        createDefaultLogFolder();
        checkFolders([] {
            SettingsDialog dialog(*appSettings);
            dialog.exec();
        });

        MainMenu& menu = MainMenu::instance();
        menu.prepare();
        menu.show();
    } catch (const PelkoError& e) {
        unexpectedEnding(e.number(), e.description());
    } catch (const std::exception& e) {
        unexpectedEnding(5, QString::fromLocal8Bit(e.what()));
    }
}
