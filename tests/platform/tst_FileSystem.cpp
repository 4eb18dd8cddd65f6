#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "support/TempTree.h"

#include <QTest>

class tst_FileSystem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolveCaseFindsOtherSpellings();
    void resolveCasePrefersExactName();
    void canEnterFolder();
    void joinPath_data();
    void joinPath();
    void applicationFolderFromEnvironment();
    void messageRecorderAnswersFromScript();
};

void tst_FileSystem::resolveCaseFindsOtherSpellings()
{
    TempTree t;
    t.write(QStringLiteral("DATA/JPN_DAT.001"), "x");
    QCOMPARE(FileSystem::resolveCase(t.file(QStringLiteral("data/jpn_dat.001"))),
             t.file(QStringLiteral("DATA/JPN_DAT.001")));
    QCOMPARE(FileSystem::resolveCase(t.file(QStringLiteral("Data/"))),
             t.file(QStringLiteral("DATA/")));
    const QString missing = t.file(QStringLiteral("nothing/here"));
    QCOMPARE(FileSystem::resolveCase(missing), missing);
}

void tst_FileSystem::resolveCasePrefersExactName()
{
    TempTree t;
    t.mkdir(QStringLiteral("data"));
    t.mkdir(QStringLiteral("DATA"));
    QCOMPARE(FileSystem::resolveCase(t.file(QStringLiteral("DATA"))),
             t.file(QStringLiteral("DATA")));
    QCOMPARE(FileSystem::resolveCase(t.file(QStringLiteral("data"))),
             t.file(QStringLiteral("data")));
}

void tst_FileSystem::canEnterFolder()
{
    TempTree t;
    t.mkdir(QStringLiteral("Logs"));
    t.write(QStringLiteral("file.txt"), "x");
    QVERIFY(FileSystem::canEnterFolder(t.file(QStringLiteral("logs/"))));
    QVERIFY(!FileSystem::canEnterFolder(t.file(QStringLiteral("file.txt"))));
    QVERIFY(!FileSystem::canEnterFolder(t.file(QStringLiteral("missing"))));
    QVERIFY(!FileSystem::canEnterFolder(QStringLiteral("   ")));
}

void tst_FileSystem::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::newRow("plain") << QStringLiteral("/a") << QStringLiteral("b") << QStringLiteral("/a/b");
    QTest::newRow("slash at end") << QStringLiteral("/a/") << QStringLiteral("b")
                                  << QStringLiteral("/a/b");
    QTest::newRow("doubled") << QStringLiteral("/a//") << QStringLiteral("/b")
                             << QStringLiteral("/a/b");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("b") << QStringLiteral("/b");
}

void tst_FileSystem::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QCOMPARE(FileSystem::joinPath(folder, name), joined);
}

void tst_FileSystem::applicationFolderFromEnvironment()
{
    ScopedEnv env("PELKO_APPDIR", QStringLiteral("/opt/pelko/"));
    QCOMPARE(AppPaths::applicationFolder(), QStringLiteral("/opt/pelko"));
    ScopedEnv appData("APPDATA", QStringLiteral("/home/u/AppData/"));
    QCOMPARE(AppPaths::appDataFolder(), QStringLiteral("/home/u/AppData"));
}

void tst_FileSystem::messageRecorderAnswersFromScript()
{
    MessageRecorder recorder;
    recorder.script({MessageAnswer::No});
    QCOMPARE(showMessage(QStringLiteral("q"), MessageButtons::YesNo), MessageAnswer::No);
    QCOMPARE(showMessage(QStringLiteral("r"), MessageButtons::YesNo, QStringLiteral("T")),
             MessageAnswer::Yes);
    QCOMPARE(recorder.shown().size(), 2);
    QCOMPARE(recorder.shown().at(0).title, QStringLiteral("Pelko"));
    QCOMPARE(recorder.shown().at(1).title, QStringLiteral("T"));
}

QTEST_GUILESS_MAIN(tst_FileSystem)
#include "tst_FileSystem.moc"
