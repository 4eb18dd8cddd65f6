#include "app/frmLogo.h"
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "support/TempTree.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

// The splash loads the settings; a file it cannot use ends the program with the INI box.
class tst_frmLogo : public QObject {
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
    int m_endCode = -1;
};

void tst_frmLogo::init()
{
    m_tree = std::make_unique<TempTree>();
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->path());
    objKankyo = std::make_unique<clsKankyo>();
    objUser = std::make_unique<clsUser>();
    m_endCode = -1;
    setEndProgramHandler([this](int code) { m_endCode = code; });
}

void tst_frmLogo::cleanup()
{
    setEndProgramHandler({});
    objKankyo.reset();
    objUser.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_frmLogo::loadsSettingsAndLeavesOnFirstTick()
{
    MessageRecorder messages;
    frmLogo& logo = frmLogo::instance();
    logo.Form_Load();
    QVERIFY(logo.lblVer->text().count(u'.') == 2);
    QCOMPARE(logo.lblTitle->text(), QStringLiteral("日本語入力速度測定ソフト"));
    logo.show();
    QTRY_VERIFY(objKankyo->LoadFlg());
    QVERIFY(logo.isVisible());
    logo.timLoadTime_Timer();
    QVERIFY(!logo.isVisible());
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(m_endCode, -1);
}

void tst_frmLogo::settingsOutOfRangeEndProgram()
{
    m_tree->write(QStringLiteral("pelko.ini"), "[default]\r\ntime=99999\r\n");
    MessageRecorder messages;
    frmLogo& logo = frmLogo::instance();
    logo.Form_Load();
    logo.show();
    QTRY_COMPARE(m_endCode, 1);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("INIファイルの取得に失敗しました！")});
    QCOMPARE(messages.shown().at(0).title, QStringLiteral("INIエラー"));
    QCOMPARE(messages.shown().at(0).icon, MsgIcon::Critical);
    QVERIFY(!objKankyo);
    QVERIFY(!objUser);
    logo.hide();
}

QTEST_MAIN(tst_frmLogo)
#include "tst_frmLogo.moc"
