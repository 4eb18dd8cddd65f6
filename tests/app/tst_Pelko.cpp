#include "app/Pelko.h"
#include "app/StartupChecks.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

// The application object: the start-up sequence, and the way back from the test window to
// the main menu it was handed.
class tst_Pelko : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startShowsTheMenuAndGivingUpReturnsToIt();
    void unusableSettingsStopTheStart();

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    int m_endCode = -1;
};

void tst_Pelko::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("DATA"));
    m_tree->mkdir(QStringLiteral("PLACTICE"));
    m_tree->mkdir(QStringLiteral("appdata"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->file(QStringLiteral("appdata")));
    m_endCode = -1;
    // The real ending never returns; here the splash's modal loop has to end instead.
    setEndProgramHandler([this](int code) {
        m_endCode = code;
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->hide();
        });
    });
}

void tst_Pelko::cleanup()
{
    setEndProgramHandler({});
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_Pelko::startShowsTheMenuAndGivingUpReturnsToIt()
{
    MessageRecorder messages;
    Pelko pelko;
    pelko.start(); // the splash goes after its two seconds
    QVERIFY(pelko.settings().isLoaded());
    QVERIFY(pelko.mainMenu().isVisible());
    QVERIFY(messages.shown().isEmpty());
    // The default log folder of a fresh installation now exists.
    QVERIFY(QFileInfo(m_tree->file(QStringLiteral("appdata/pelko"))).isDir());

    // No problem file: the test window gives up and its menu comes back.
    pelko.mainMenu().hide();
    pelko.testWindow().setReady(true);
    pelko.testWindow().open();
    QVERIFY(!pelko.testWindow().isReady());
    QVERIFY(!pelko.testWindow().isVisible());
    QVERIFY(pelko.mainMenu().isVisible());
    QVERIFY(!messages.shown().isEmpty());
    QCOMPARE(m_endCode, -1);
}

void tst_Pelko::unusableSettingsStopTheStart()
{
    m_tree->write(QStringLiteral("pelko.ini"), "[default]\r\ntime=99999\r\n");
    MessageRecorder messages;
    Pelko pelko;
    pelko.start();
    QCOMPARE(m_endCode, 1);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("INIファイルの取得に失敗しました！")});
    QVERIFY(!pelko.mainMenu().isVisible());
}

QTEST_MAIN(tst_Pelko)
#include "tst_Pelko.moc"
