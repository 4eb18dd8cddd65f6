// Opens the test window on a sample problem and saves a picture of it before the start,
// during a run and at the result: testwindow_shot <problem folder> <waiting|running|result>
// <file.png> [window size in percent].
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "problems/colReidai.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "test/InputZone.h"
#include "test/mdiKenteiBack.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString state = QString::fromLocal8Bit(argv[2]);
    const QString output = QString::fromLocal8Bit(argv[3]);

    MessageRecorder messages; // boxes answered at once
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->setTestFilepath(folder);
    objKankyo->setFilepath(folder);
    objKankyo->setSortMode(QStringLiteral("SEQUENCE"));
    objKankyo->setLogPath(QDir::tempPath());
    if (argc > 4)
        objKankyo->WindowSize = qint16(QString::fromLocal8Bit(argv[4]).toInt());
    objUser = std::make_unique<clsUser>();
    objUser->setKenteiON(false);

    mdiKenteiBack& window = mdiKenteiBack::instance();
    window.MDIForm_Load();
    frmInput* input = window.Input();
    if (state != u"waiting") {
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        input->Form_KeyDown(&space);
        // The first two lines, as an input method would commit them.
        for (int line = 1; line <= std::min(2, int(objReidai->Count())); ++line) {
            for (const clsMozi& mozi : objReidai->Item(line))
                input->txtInputZone_Commit(mozi.Mozi());
            if (line < 2)
                input->txtInputZone_KeyPress(QStringLiteral("\r"));
        }
        for (int tick = 0; tick < 75; ++tick)
            window.timLastTime_Timer();
    }
    if (state == u"result") {
        for (int tick = 0; tick < 1000 && window.timLastTime->isActive(); ++tick)
            window.timLastTime_Timer();
    }
    QTimer::singleShot(250, &app, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        screen->grabWindow(0).save(output);
        QCoreApplication::exit(0);
    });
    return app.exec();
}
