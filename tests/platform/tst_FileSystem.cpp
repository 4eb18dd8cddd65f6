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
    TempTree tree;
    tree.write(QStringLiteral("DATA/JPN_DAT.001"), "x");
    QCOMPARE(FileSystem::resolveCase(tree.file(QStringLiteral("data/jpn_dat.001"))),
             tree.file(QStringLiteral("DATA/JPN_DAT.001")));
    QCOMPARE(FileSystem::resolveCase(tree.file(QStringLiteral("Data/"))),
             tree.file(QStringLiteral("DATA/")));
    const QString missing = tree.file(QStringLiteral("nothing/here"));
    QCOMPARE(FileSystem::resolveCase(missing), missing);
}

void tst_FileSystem::resolveCasePrefersExactName()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("data"));
    tree.mkdir(QStringLiteral("DATA"));
    QCOMPARE(FileSystem::resolveCase(tree.file(QStringLiteral("DATA"))),
             tree.file(QStringLiteral("DATA")));
    QCOMPARE(FileSystem::resolveCase(tree.file(QStringLiteral("data"))),
             tree.file(QStringLiteral("data")));
    const QString link = tree.file(QStringLiteral("pelko.log")); // by its name, to nowhere too
    tree.write(QStringLiteral("PELKO.LOG"), "x");
    QVERIFY(QFile::link(QStringLiteral("nowhere"), link));
    QCOMPARE(FileSystem::resolveCase(link), link);
}

void tst_FileSystem::canEnterFolder()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("Logs"));
    tree.write(QStringLiteral("file.txt"), "x");
    QVERIFY(FileSystem::canEnterFolder(tree.file(QStringLiteral("logs/"))));
    QVERIFY(!FileSystem::canEnterFolder(tree.file(QStringLiteral("file.txt"))));
    QVERIFY(!FileSystem::canEnterFolder(tree.file(QStringLiteral("missing"))));
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
