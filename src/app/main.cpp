#include "CommandLine.h"
#include "Pelko.h"
#include "history/DatabaseCommands.h"
#include "history/ExportCommand.h"
#include "platform/AppPaths.h"
#include "platform/DisplayPlatform.h"
#include "platform/FileSystem.h"
#include "platform/Fonts.h"
#include "platform/QtMessageService.h"
#include "platform/SharpStyle.h"
#include "results/CertificateCommands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace
{

// The CSV export for scripts: no display is needed or touched.
int exportCsv(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Settings settings; // for the pass line
    settings.load();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return ExportCommand::OutputFailed;
    QString messages;
    const int status =
        ExportCommand::run(app.arguments().mid(1), settings.passSpeed(), out, messages,
                           settings.databaseServer());
    out.close();
    std::fputs(messages.toUtf8().constData(), stderr);
    return status;
}

// The results database's commands: no display either.
int databaseCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Settings settings;
    settings.load();
    QString output;
    QString messages;
    const int status =
        DatabaseCommands::run(app.arguments().mid(1), settings.databaseServer(),
                              settings.databaseSite(), output, messages);
    std::fputs(output.toUtf8().constData(), stdout);
    std::fputs(messages.toUtf8().constData(), stderr);
    return status;
}

// The certificate's key and check: no display either.
int certificateCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList classFolders;
    if (CertificateCommands::requested(argc, argv) == QStringLiteral("--site-key")) {
        Settings settings;
        settings.load();
        classFolders = settings.classFolders();
    }
    QString output;
    QString messages;
    const int status =
        CertificateCommands::run(app.arguments().mid(1), output, messages, classFolders);
    std::fputs(output.toUtf8().constData(), stdout);
    std::fputs(messages.toUtf8().constData(), stderr);
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    FileSystem::failWritesPastSizeLimit();
    if (ExportCommand::isRequested(argc, argv))
        return exportCsv(argc, argv);
    if (!DatabaseCommands::requested(argc, argv).isEmpty())
        return databaseCommand(argc, argv);
    if (!CertificateCommands::requested(argc, argv).isEmpty())
        return certificateCommand(argc, argv);
    const CommandLine commandLine = CommandLine::fromProcess(argc, argv);
    if (commandLine.action() == CommandLine::Answer)
        return commandLine.answer();
    const QByteArray forcedPlatform = DisplayPlatform::chooseForSession(argc, argv);
    QApplication app(argc, argv);
    std::fputs(DisplayPlatform::fallbackNotice(forcedPlatform, QGuiApplication::platformName())
                   .toLocal8Bit()
                   .constData(),
               stderr);
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    QApplication::setStyle(new SharpStyle);
    QApplication::setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pelko"));
    QFont font = Fonts::proportional(0);
    font.setPointSize(11);
    QApplication::setFont(font);

    // The program speaks Japanese whatever the desktop's language: Qt's own buttons and
    // dialogs (message box buttons, the colour chooser) too, where the translation exists.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtMessageService messages;
    setMessageService(&messages);

    Pelko pelko;
    pelko.start();
    return app.exec();
}
