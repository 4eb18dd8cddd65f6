// Shows a dialog of the certification path on the current X display and saves a picture of
// the screen: dialog_shot <selfassessment|printer> <file.png>. Run it with QT_SCALE_FACTOR
// set to look at it as a scaled desktop shows it.
#include "app/SelfAssessmentDialog.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/SharpStyle.h"
#include "results/PrinterDialog.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"

#include "support/ShotSetup.h"

#include <QApplication>
#include <QDir>
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
    } else {
        return 2;
    }
    return status;
}
