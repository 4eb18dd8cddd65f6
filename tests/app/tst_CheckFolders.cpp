#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
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
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->setFilepath(m_tree->file(QStringLiteral("app")) + u'/');
    objKankyo->setLogPath(m_tree->file(QStringLiteral("logs")) + u'/');
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("logs")) + u'/');
}

void tst_CheckFolders::cleanup()
{
    objKankyo.reset();
    m_messages.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_CheckFolders::allFoldersFine()
{
    objKankyo->setSubLog(true);
    bool settingsShown = false;
    CheckFolders([&] { settingsShown = true; });
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!settingsShown);
}

void tst_CheckFolders::dataFolderFallsBackToDataBesideProgram()
{
    m_tree->mkdir(QStringLiteral("app/data"));
    objKankyo->setFilepath(m_tree->file(QStringLiteral("nowhere/")));
    objKankyo->setLogPath(m_tree->file(QStringLiteral("nolog/")));
    CheckFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kLogWrong}));
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("エラー"));
    QCOMPARE(m_messages->shown().at(0).icon, MsgIcon::None);
    QCOMPARE(objKankyo->Filepath(), m_tree->file(QStringLiteral("app/data")));
    QCOMPARE(objKankyo->LogPath(), m_tree->file(QStringLiteral("app")));
}

void tst_CheckFolders::dataFallbackFoundInOtherCase()
{
    m_tree->mkdir(QStringLiteral("app/DATA"));
    objKankyo->setFilepath(m_tree->file(QStringLiteral("nowhere/")));
    CheckFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong}));
}

void tst_CheckFolders::noDataFolderAtAllOpensSettings()
{
    objKankyo->setFilepath(m_tree->file(QStringLiteral("nowhere/")));
    objKankyo->setLogPath(m_tree->file(QStringLiteral("nolog/")));
    objKankyo->setSubLog(true);
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("nosub/")));
    int settingsShown = 0;
    CheckFolders([&] { ++settingsShown; });
    QCOMPARE(m_messages->texts(), QStringList({kDataWrong, kDataGiveUp}));
    QCOMPARE(settingsShown, 1);
    // The log folders are neither examined nor corrected in this run.
    QCOMPARE(objKankyo->LogPath(), m_tree->file(QStringLiteral("nolog/")));
    QCOMPARE(objKankyo->SubLogPath(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logAndSubLogFallBack()
{
    objKankyo->setLogPath(m_tree->file(QStringLiteral("nolog/")));
    objKankyo->setSubLog(true);
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("nosub/")));
    CheckFolders({});
    QCOMPARE(m_messages->texts(), QStringList({kLogWrong, kSubLogWrong}));
    QCOMPARE(objKankyo->SubLogPath(), m_tree->file(QStringLiteral("app")));
}

void tst_CheckFolders::subLogOffIsNotExamined()
{
    objKankyo->setSubLog(false);
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("nosub/")));
    CheckFolders({});
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(objKankyo->SubLogPath(), m_tree->file(QStringLiteral("nosub/")));
}

void tst_CheckFolders::logColumnCatalogue()
{
    FillLogColumn();
    QCOMPARE(LogColumn[0][0], QStringLiteral("連番"));
    QCOMPARE(LogColumn[8][0], QStringLiteral("入力速度(文字/分)"));
    QCOMPARE(LogColumn[15][0], QStringLiteral("計測時間(秒)"));
    QCOMPARE(LogColumn[10][1], QStringLiteral("A"));
    QCOMPARE(LogColumn[15][1], QStringLiteral("F"));
}

void tst_CheckFolders::defaultLogFolderIsCreatedOnlyWhenDefault()
{
    ScopedEnv appData("APPDATA", m_tree->file(QStringLiteral("appdata")));
    objKankyo->setLogPath(m_tree->file(QStringLiteral("appdata/pelko/")));
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("elsewhere/")));
    CreateDefaultLogFolder();
    QVERIFY(QFileInfo(m_tree->file(QStringLiteral("appdata/pelko"))).isDir());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("elsewhere"))));
}

QTEST_GUILESS_MAIN(tst_CheckFolders)
#include "tst_CheckFolders.moc"
