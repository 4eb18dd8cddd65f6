// Shows one of the settings dialogs on the current X display and saves a picture of the
// screen: settings_shot <settings|logstyle|color> <file.png> [certificate key file]
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "settings/ColorChooser.h"
#include "settings/PassLogFormatDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsDialog.h"

#include "support/ShotSetup.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    useProgramFont();
    if (argc < 3)
        return 2;
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    const ScratchInstallation scratch;

    MessageRecorder messages;
    Settings settings;
    settings.load();
    settings.setPassLogFormat(QStringLiteral("0123489F"));
    if (argc > 3)
        settings.setCertificateKeyFile(QString::fromLocal8Bit(argv[3]));

    int status = 1;
    QTimer::singleShot(600, &app, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && screen->grabWindow(0).save(output))
            status = 0;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    if (which == u"settings") {
        SettingsDialog dialog(settings);
        dialog.exec();
    } else if (which == u"logstyle") {
        PassLogFormatDialog dialog(settings);
        dialog.exec();
    } else if (which == u"color") {
        ColorChooser chooser;
        chooser.setPickedColor(0xE0E0E0);
        for (int i = 0; i < 16; ++i)
            chooser.setCustomColorAt(i, 255 | (255 << 8) | ((16 * i + 15) << 16));
        chooser.pick(nullptr, ColorChooser::StartFromPicked | ColorChooser::FullDialog);
    } else {
        return 2;
    }
    return status;
}
