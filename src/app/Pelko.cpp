#include "Pelko.h"

#include "ProgramState.h"
#include "common/PelkoError.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "settings/SettingsDialog.h"

Pelko::Pelko()
{
    m_testWindow.setMainMenu(&m_mainMenu);
    // Windows not yet handed references still reach these through the shared pointers.
    appSettings = &m_settings;
    appRecord = &m_record;
}

Pelko::~Pelko()
{
    if (appSettings == &m_settings)
        appSettings = nullptr;
    if (appRecord == &m_record)
        appRecord = nullptr;
}

void Pelko::unexpectedEnding(int number, const QString& description)
{
    showMessage(unexpectedErrorText(number, description));
    endProgram(1);
}

void Pelko::start()
{
    try {
        fillLogColumns();

        m_splash.showModal();
        if (!m_settings.isLoaded())
            return;

        createDefaultLogFolder(m_settings);
        checkFolders(m_settings, [] { SettingsDialog::instance().showModal(); });

        m_mainMenu.prepare();
        m_mainMenu.show();
    } catch (const PelkoError& e) {
        unexpectedEnding(e.number(), e.description());
    } catch (const std::exception& e) {
        unexpectedEnding(5, QString::fromLocal8Bit(e.what()));
    }
}
