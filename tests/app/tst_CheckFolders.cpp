#include "app/ProgramState.h"
#include "platform/MessageService.h"
#include "results/LogColumns.h"
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
    void logAndSubLogFallBack();
    void subLogOffIsNotExamined();
    void logColumnCatalogue();
    void defaultLogFolderIsCreatedOnlyWhenDefault();

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<MessageRecorder> m_messages;
};

namespace {
const QString kDataWrong = QStringLiteral("データファイルのパスの指定が間違っています\r"
                                          "デフォルトの指定で読み込んでみます");
const QString kDataGiveUp = QStringLiteral(
    "データファイルのパスの指定が間違っています\r環境設定を起動しますのでパスを指定しなおしてください。");
const QString kLogWrong =
    QStringLiteral("ログのパス指定が間違っています\rデフォルトの指定で読み込んでみます");
const QString kSubLogWrong =
    QStringLiteral("サブログのパス指定が間違っています\rデフォルトの指定で読み込んでみます");
} // namespace

void tst_CheckFolders::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("app"));
    m_tree->mkdir(QStringLiteral("logs"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->file(QStringLiteral("app")));
    m_messages = std::make_unique<MessageRecorder>();
    appSettings = std::make_unique<Settings>();
    appSettings->setCertificationFolder(m_tree->file(QStringLiteral("app")) + u'/');
    appSettings->setLogFolder(m_tree->file(QStringLiteral("logs")) + u'/');
    appSettings->setPassLogFolder(m_tree->file(QStringLiteral("logs")) + u'/');
}

void tst_CheckFolders::cleanup()
{
    appSettings.reset();
    m_messages.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_CheckFolders::allFoldersFine()
{
    appSettings->setPassLogEnabled(true);
    bool settingsShown = false;
    checkFolders([&] { settingsShown = true; });
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!settingsShown);
}

void tst_CheckFolders::dataFolderFallsBackToDataBesideProgram()
{
    m_tree->mkdir(QStringLiteral("app/data"));
    appSettings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    appSettings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    checkFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kLogWrong}));
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("エラー"));
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::None);
    QCOMPARE(appSettings->certificationFolder(), m_tree->file(QStringLiteral("app/data")));
    QCOMPARE(appSettings->logFolder(), m_tree->file(QStringLiteral("app")));
}

void tst_CheckFolders::dataFallbackFoundInOtherCase()
{
    m_tree->mkdir(QStringLiteral("app/DATA"));
    appSettings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    checkFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong}));
}

void tst_CheckFolders::noDataFolderAtAllOpensSettings()
{
    appSettings->setCertificationFolder(m_tree->file(QStringLiteral("nowhere/")));
    appSettings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    appSettings->setPassLogEnabled(true);
    appSettings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    int settingsShown = 0;
    checkFolders([&] { ++settingsShown; });
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kDataGiveUp}));
    QCOMPARE(settingsShown, 1);
    // The log folders are neither examined nor corrected in this run.
    QCOMPARE(appSettings->logFolder(), m_tree->file(QStringLiteral("nolog/")));
    QCOMPARE(appSettings->passLogFolder(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logAndSubLogFallBack()
{
    appSettings->setLogFolder(m_tree->file(QStringLiteral("nolog/")));
    appSettings->setPassLogEnabled(true);
    appSettings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    checkFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kLogWrong, kSubLogWrong}));
    QCOMPARE(appSettings->passLogFolder(), m_tree->file(QStringLiteral("app")));
}

void tst_CheckFolders::subLogOffIsNotExamined()
{
    appSettings->setPassLogEnabled(false);
    appSettings->setPassLogFolder(m_tree->file(QStringLiteral("nosub/")));
    checkFolders({});
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(appSettings->passLogFolder(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logColumnCatalogue()
{
    QCOMPARE(LogColumns::title(0), QStringLiteral("連番"));
    QCOMPARE(LogColumns::title(8), QStringLiteral("入力速度(文字/分)"));
    QCOMPARE(LogColumns::title(15), QStringLiteral("計測時間(秒)"));
    QCOMPARE(LogColumns::code(10), u'A');
    QCOMPARE(LogColumns::code(15), u'F');
}

void tst_CheckFolders::defaultLogFolderIsCreatedOnlyWhenDefault()
{
    ScopedEnv appData("APPDATA", m_tree->file(QStringLiteral("appdata")));
    appSettings->setLogFolder(m_tree->file(QStringLiteral("appdata/pelko/")));
    appSettings->setPassLogFolder(m_tree->file(QStringLiteral("elsewhere/")));
    createDefaultLogFolder();
    QVERIFY(QFileInfo(m_tree->file(QStringLiteral("appdata/pelko"))).isDir());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("elsewhere"))));
}

QTEST_GUILESS_MAIN(tst_CheckFolders)
#include "tst_CheckFolders.moc"
