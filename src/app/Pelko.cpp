#include "Pelko.h"

#include "AboutDialog.h"
#include "StartupChecks.h"
#include "common/Error.h"
#include "history/ResultsBrowser.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "settings/SettingsDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

Pelko::Pelko()
{
    m_testWindow.setMainMenu(&m_mainMenu);
    QObject::connect(&m_testWindow, &TestWindow::aboutRequested, &m_testWindow,
                     [this] { AboutDialog(&m_testWindow).exec(); });
    QObject::connect(&m_testWindow, &TestWindow::resultsBrowserRequested, &m_testWindow, [this] {
        QWidget* owner = QApplication::activeModalWidget();
        ResultsBrowser(m_settings, owner ? owner : &m_testWindow).exec();
    });
}

void Pelko::endOnUnexpectedError(const Error& error)
{
    showMessage(unexpectedErrorText(error));
    endProgram(1);
}

void Pelko::start()
{
    try {
        m_splash.exec();
        if (!m_settings.isLoaded())
            return;

        if (m_settings.userFolderUnwritable())
            showMessage(
                QStringLiteral("設定を保存するフォルダに書き込めません。\r") +
                    QDir::toNativeSeparators(QFileInfo(m_settings.iniPath()).path()) +
                    QStringLiteral("\r管理者の設定で動作します。環境設定の変更は保存されません。"),
                MessageButtons::Ok, QStringLiteral("環境設定"), MessageIcon::Information);
        if (const QString problem = certificateKeyProblem(m_settings); !problem.isEmpty())
            showMessage(problem, MessageButtons::Ok, QStringLiteral("認定証の署名鍵"),
                        MessageIcon::Warning);
        createDefaultLogFolder(m_settings);
        checkFolders(m_settings, [this] {
            SettingsDialog dialog(m_settings);
            dialog.exec();
        });

        m_mainMenu.prepare();
        m_mainMenu.show();
    } catch (const std::exception& e) {
        endOnUnexpectedError(Error(Error::Code::InvalidArgument, QString::fromLocal8Bit(e.what())));
    }
}
