// Shows a dialog of the certification path on the current X display and saves a picture of
// the screen: dialog_shot <selfassessment|printer|splash|menu|ranking> <file.png>. Run it with QT_SCALE_FACTOR
// set to look at it as a scaled desktop shows it.
#include "app/MainMenu.h"
#include "app/SelfAssessmentDialog.h"
#include "app/SplashScreen.h"
#include "platform/HelpViewer.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/SharpStyle.h"
#include "results/PrinterDialog.h"
#include "results/RankingWindow.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "typing/TestWindow.h"

#include "support/ShotSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new SharpStyle);
    useProgramFont();
    if (argc < 3)
        return 2;
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    const ScratchInstallation scratch;
    MessageRecorder messages;
    Settings settings;
    settings.load();

    int status = 1;
    QTimer::singleShot(600, &app, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && screen->grabWindow(0).save(output))
            status = 0;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    if (which == u"selfassessment") {
        RunRecord record;
        SelfAssessmentDialog(record).exec();
    } else if (which == u"printer") {
        PrinterDialog(settings).exec();
    } else if (which == u"splash") {
        SplashScreen splash(settings);
        splash.prepare();
        splash.show();
        QTimer::singleShot(700, &app, &QCoreApplication::quit);
        app.exec();
    } else if (which == u"menu") {
        RunRecord record;
        HelpViewer help;
        TestWindow testWindow(settings, record, help);
        MainMenu menu(settings, record, testWindow);
        menu.prepare();
        menu.show();
        QTimer::singleShot(700, &app, &QCoreApplication::quit);
        app.exec();
    } else if (which == u"ranking") {
        QFile log(QDir(settings.logFolder()).filePath(settings.logName()));
        if (!log.open(QIODevice::WriteOnly))
            return 1;
        for (int n = 0; n < 12; ++n)
            log.write(QByteArray::number(n) + ",\"05-20-2005\",\"14:03:12\",\"id" +
                      QByteArray::number(n) + "\",\"Name " + QByteArray::number(n) +
                      "\",\"PC\",\"u\",\"f\"," + QByteArray::number(40 + n * 3) + ',' +
                      QByteArray::number(80 + n) + ",3,257,260,35,12,180\r\n");
        log.close();
        RankingWindow(settings).exec();
    } else {
        return 2;
    }
    return status;
}
