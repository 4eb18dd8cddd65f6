#include "app/SplashScreen.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "settings/Settings.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

// The splash loads the settings; a file it cannot use ends the program with the INI box.
class tst_SplashScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void loadsSettingsAndLeavesOnFirstTick();
    void settingsOutOfRangeEndProgram();

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<Settings> m_settings;
    int m_endCode = -1;
};

void tst_SplashScreen::init()
{
    m_tree = std::make_unique<TempTree>();
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->path());
    m_settings = std::make_unique<Settings>();
    m_endCode = -1;
    setEndProgramHandler([this](int code) { m_endCode = code; });
}

void tst_SplashScreen::cleanup()
{
    setEndProgramHandler({});
    m_settings.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_SplashScreen::loadsSettingsAndLeavesOnFirstTick()
{
    MessageRecorder messages;
    SplashScreen splash(*m_settings);
    splash.prepare();
    QVERIFY(part<QLabel>(splash, "versionLabel")->text().count(u'.') == 2);
    QCOMPARE(part<QLabel>(splash, "titleLabel")->text(),
             QStringLiteral("日本語入力速度測定ソフト"));
    splash.show();
    QTRY_VERIFY(m_settings->isLoaded());
    QVERIFY(splash.isVisible());
    splash.closeIfLoaded();
    QVERIFY(!splash.isVisible());
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(m_endCode, -1);
}

void tst_SplashScreen::settingsOutOfRangeEndProgram()
{
    m_tree->write(QStringLiteral("pelko.ini"), "[default]\r\ntime=99999\r\n");
    MessageRecorder messages;
    SplashScreen splash(*m_settings);
    splash.prepare();
    splash.show();
    QTRY_COMPARE(m_endCode, 1);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("INIファイルの取得に失敗しました！")});
    QCOMPARE(messages.shown().at(0).title, QStringLiteral("INIエラー"));
    QCOMPARE(messages.shown().at(0).icon, MessageIcon::Critical);
    // Settings it could not use never count as loaded: the splash does not close on them.
    QVERIFY(!m_settings->isLoaded());
    splash.closeIfLoaded();
    QVERIFY(splash.isVisible());
    splash.hide();
}

QTEST_MAIN(tst_SplashScreen)
#include "tst_SplashScreen.moc"
