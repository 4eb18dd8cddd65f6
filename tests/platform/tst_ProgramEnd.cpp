#include "platform/ProgramEnd.h"

#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstring>

// The real ending, not a replaced handler: a child process ends itself from inside its event
// loop, with windows open, as the program does after a settings or screen failure.
class tst_ProgramEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void endsWithItsStatusFromTheEventLoop_data();
    void endsWithItsStatusFromTheEventLoop();
    void handlerStandsInAndIsRestored();
};

void tst_ProgramEnd::endsWithItsStatusFromTheEventLoop_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("failure") << 1;
    QTest::newRow("success") << 0;
}

void tst_ProgramEnd::endsWithItsStatusFromTheEventLoop()
{
    QFETCH(int, status);
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--end-with"), QString::number(status)});
    QVERIFY(child.waitForFinished(20000));
    const QByteArray output = child.readAll();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit); // no crash on the way out
    QCOMPARE(child.exitCode(), status);
    QVERIFY2(!output.contains("after the end"), output.constData());
}

void tst_ProgramEnd::handlerStandsInAndIsRestored()
{
    int seen = -1;
    auto previous = setEndProgramHandler([&seen](int code) { seen = code; });
    endProgram(7);
    QCOMPARE(seen, 7);
    auto mine = setEndProgramHandler(std::move(previous));
    QVERIFY(mine);
}

namespace
{

int endFromEventLoop(int argc, char** argv, int status)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    QTimer::singleShot(0, [status] {
        endProgram(status);
        qWarning("still running after the end");
    });
    return app.exec() + 100;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--end-with") == 0)
        return endFromEventLoop(argc, argv, std::atoi(argv[2]));
    QApplication app(argc, argv);
    tst_ProgramEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ProgramEnd.moc"
