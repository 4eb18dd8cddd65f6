// The input window on a real X server: key presses reach the stroke count through the
// window system, once each, while the characters still go through the input box.
// Starts its own Xvfb and types with xdotool; skipped where either is missing.

#include "ProblemFixture.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "support/SharedState.h"
#include "support/WindowParts.h"
#include "typing/InputBox.h"
#include "typing/InputPane.h"
#include "typing/ProblemView.h"
#include "typing/TestHost.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

namespace
{

struct NoHost : TestHost {
    void startCountdown() override {}
    void stopCountdown() override {}
    void setDurationMenuEnabled(bool) override {}
    void showNextProblemMenu() override {}
    void enablePrintMenus() override {}
    int secondsLeft() const override { return 180; }
};

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

} // namespace

class tst_InputPaneX11 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void strokesCountOncePerPress_data();
    void strokesCountOncePerPress();
};

void tst_InputPaneX11::strokesCountOncePerPress_data()
{
    QTest::addColumn<bool>("activated");
    QTest::newRow("active window") << true;
    // No window manager: keys reach the window under the pointer, which never becomes active.
    QTest::newRow("no window manager") << false;
}

void tst_InputPaneX11::strokesCountOncePerPress()
{
    TempTree tree;
    SharedState state;
    const std::unique_ptr<Problem> problem = loadProblem(tree, {QStringLiteral("abcd")});
    const QString summary;
    NoHost host;
    ProblemView problemView(state.settings);
    InputPane input(state.settings, state.record);
    input.setProblem(problem.get(), &summary);
    input.setProblemView(&problemView);
    input.setHost(&host);
    input.prepareRun();
    part<InputBox>(input, "inputBox")->setEnabled(false);
    input.show();
    QFETCH(bool, activated);
    if (activated) {
        input.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&input));
    } else {
        QVERIFY(QTest::qWaitForWindowExposed(&input));
        const QPoint centre = input.mapToGlobal(input.rect().center());
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                         QString::number(centre.y())}));
    }
    input.setFocus();
    QTRY_VERIFY(input.hasFocus() || !activated);

    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("space")}));
    QTRY_VERIFY(input.checker().started());
    QTRY_VERIFY(part<InputBox>(input, "inputBox")->hasFocus() ||
                (!activated && input.focusWidget() == part<InputBox>(input, "inputBox")));
    QVERIFY(xdotool({QStringLiteral("type"), QStringLiteral("abx")}));
    QTRY_COMPARE(state.record.errors(), 1);
    QCOMPARE(state.record.acceptedChars(), 2);
    QCOMPARE(part<InputBox>(input, "inputBox")->text(), QStringLiteral("ab"));
    QCOMPARE(input.strokes(), 3); // the space started the run and is no stroke
    // Counted as the window system delivered them, shown with the keys' own effect.
    QTRY_VERIFY(part<QLabel>(problemView, "status")->text().endsWith(u"ストローク:3  入力:2/3"));
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("shift+Tab")}));
    QTRY_COMPARE(input.strokes(), 5); // Shift and Tab
    // Keys that show nothing else still show their count.
    QTRY_VERIFY(part<QLabel>(problemView, "status")->text().endsWith(u"ストローク:5  入力:2/3"));
    QVERIFY(input.focusWidget() == part<InputBox>(input, "inputBox"));
}

int main(int argc, char** argv)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        std::puts("SKIP: Xvfb or xdotool is not installed");
        return 0;
    }
    QProcess server;
    server.start(xvfb,
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    if (!server.waitForStarted() || !server.waitForReadyRead(20000)) {
        std::puts("SKIP: Xvfb did not start");
        return 0;
    }
    const QByteArray display = ':' + server.readLine().trimmed();
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_IM_MODULE");
    int exitCode = 0;
    {
        QApplication app(argc, argv);
        tst_InputPaneX11 test;
        exitCode = QTest::qExec(&test, argc, argv);
    }
    ::kill(pid_t(server.processId()), SIGTERM);
    server.waitForFinished(5000);
    return exitCode;
}

#include "tst_InputPaneX11.moc"
