#include "app/StartupChecks.h"
#include "common/LogFormat.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "support/TempTree.h"

#include <QFileInfo>
#include <QTest>

// Folder checks at start-up: which messages appear, and where the folders end up.
class tst_CheckFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void allFoldersFine();
    void dataFolderFallsBackToDataBesideProgram();
    void dataFallbackFoundInOtherCase();
    void noDataFolderAtAllOpensSettings();
    void logFoldersAwayStayTheSettings();
    void subLogOffIsNotExamined();
    void logColumnCatalogue();
    void defaultLogFolderIsCreatedOnlyWhenDefault();

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<Settings> m_settings;
};

namespace {
const QString kDataWrong = QStringLiteral("データファイルのパスの指定が間違っています\r"
                                          "デフォルトの指定で読み込んでみます");
const QString kDataGiveUp = QStringLiteral(
    "データファイルのパスの指定が間違っています\r環境設定を起動しますのでパスを指定しなおしてください。");
const QString kLogWrong = QStringLiteral(
    "ログのパス指定が間違っています\r記録は保管し、次にログへ書き込めたときに追加します");
const QString kSubLogWrong = QStringLiteral(
    "サブログのパス指定が間違っています\r記録は保管し、次にログへ書き込めたときに追加します");
} // namespace

void tst_CheckFolders::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("app"));
    m_tree->mkdir(QStringLiteral("logs"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->file(QStringLiteral("app")));
    m_messages = std::make_unique<MessageRecorder>();
    m_settings = std::make_unique<Settings>();
    m_settings->setCertificationFolder(m_tree->file(QStringLiteral("app")) + u'/');
    m_settings->setLogFolder(m_tree->file(QStringLiteral("logs")) + u'/');
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("logs")) + u'/');
}

void tst_CheckFolders::cleanup()
{
    m_settings.reset();
    m_messages.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_CheckFolders::allFoldersFine()
{
    m_settings->setPassLogEnabled(true);
    bool settingsShown = false;
    checkFolders(*m_settings, [&] { settingsShown = true; });
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!settingsShown);
}

void tst_CheckFolders::dataFolderFallsBackToDataBesideProgram()
{
    m_tree->mkdir(QStringLiteral("app/data"));
    m_settings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    m_settings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    checkFolders(*m_settings, {});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kLogWrong}));
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("エラー"));
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::None);
    QCOMPARE(m_settings->certificationFolder(), m_tree->file(QStringLiteral("app/data")));
    QCOMPARE(m_settings->logFolder(), m_tree->file(QStringLiteral("nolog/")));
}

void tst_CheckFolders::dataFallbackFoundInOtherCase()
{
    m_tree->mkdir(QStringLiteral("app/DATA"));
    m_settings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    checkFolders(*m_settings, {});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong}));
}

void tst_CheckFolders::noDataFolderAtAllOpensSettings()
{
    m_settings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    m_settings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    m_settings->setPassLogEnabled(true);
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    int settingsShown = 0;
    checkFolders(*m_settings, [&] { ++settingsShown; });
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kDataGiveUp}));
    QCOMPARE(settingsShown, 1);
    // The log folders are neither examined nor corrected in this run.
    QCOMPARE(m_settings->logFolder(), m_tree->file(QStringLiteral("nolog/")));
    QCOMPARE(m_settings->passLogFolder(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logFoldersAwayStayTheSettings()
{
    // A folder put in its place would be saved, parting the user from the class log.
    m_settings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    m_settings->setPassLogEnabled(true);
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    checkFolders(*m_settings, {});
    QCOMPARE(m_messages->texts(), QStringList({kLogWrong, kSubLogWrong}));
    QCOMPARE(m_settings->logFolder(), m_tree->file(QStringLiteral("nolog/")));
    QCOMPARE(m_settings->passLogFolder(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::subLogOffIsNotExamined()
{
    m_settings->setPassLogEnabled(false);
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    checkFolders(*m_settings, {});
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(m_settings->passLogFolder(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logColumnCatalogue()
{
    QCOMPARE(LogFormat::title(LogColumn::RecordNumber), QStringLiteral("連番"));
    QCOMPARE(LogFormat::title(LogColumn::Speed), QStringLiteral("入力速度(文字/分)"));
    QCOMPARE(LogFormat::title(LogColumn::SecondsUsed), QStringLiteral("計測時間(秒)"));
    QCOMPARE(LogFormat::code(LogColumn::Errors), u'A');
    QCOMPARE(LogFormat::code(LogColumn::SecondsUsed), u'F');
}

void tst_CheckFolders::defaultLogFolderIsCreatedOnlyWhenDefault()
{
    ScopedEnv appData("APPDATA", m_tree->file(QStringLiteral("appdata")));
    m_settings->setLogFolder(m_tree->file(QStringLiteral("appdata/pelko/")));
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("elsewhere/")));
    createDefaultLogFolder(*m_settings);
    QVERIFY(QFileInfo(m_tree->file(QStringLiteral("appdata/pelko"))).isDir());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("elsewhere"))));
}

QTEST_GUILESS_MAIN(tst_CheckFolders)
#include "tst_CheckFolders.moc"
