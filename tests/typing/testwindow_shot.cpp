// Opens the test window on a sample problem and saves a picture of it before the start,
// during a run and at the result: testwindow_shot <problem folder> <waiting|running|result>
// <file.png> [window size in percent].
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "support/SharedState.h"
#include "typing/InputBox.h"
#include "typing/TestWindow.h"

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
    SharedState shared;
    shared.settings.setPracticeFolder(folder);
    shared.settings.setCertificationFolder(folder);
    shared.settings.setProblemOrder(ProblemOrder::Sequence);
    shared.settings.setLogFolder(QDir::tempPath());
    if (argc > 4)
        shared.settings.setWindowPercent(QString::fromLocal8Bit(argv[4]).toInt());
    shared.record.setCertification(false);

    HelpViewer help;
    TestWindow window(shared.settings, shared.record, help);
    window.open();
    InputPane* input = window.inputPane();
    if (state != u"waiting") {
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        input->startRun(&space);
        // The first two lines, as an input method would commit them.
        for (int line = 1; line <= std::min(2, int(window.problem()->count())); ++line) {
            for (const ProblemChar& ch : window.problem()->line(line))
                input->typeCommitted(ch.text());
            if (line < 2)
                input->typeKeyText(QStringLiteral("\r"));
        }
        for (int tick = 0; tick < 75; ++tick)
            window.countdownTick();
    }
    if (state == u"result") {
        for (int tick = 0; tick < 1000 && window.isCountingDown(); ++tick)
            window.countdownTick();
    }
    QTimer::singleShot(250, &app, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        screen->grabWindow(0).save(output);
        QCoreApplication::exit(0);
    });
    return app.exec();
}
