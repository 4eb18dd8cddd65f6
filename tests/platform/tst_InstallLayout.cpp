#include "platform/InstallLayout.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using InstallLayout::Facts;
using InstallLayout::layoutFor;

class tst_InstallLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portableFolders();
    void installedFolders();
    void siteSettingsAlongConfigDirs();
    void firstStartCopiesSiteSettingsOnce();
};

void tst_InstallLayout::portableFolders()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("bin/DATA"));
    tree.mkdir(QStringLiteral("share/pelko/DATA"));
    Facts facts;
    facts.programFolder = tree.file(QStringLiteral("bin"));
    facts.programFolderWritable = true;
    facts.homeFolder = QStringLiteral("/home/u");

    // A writable build folder with its own DATA stays portable even beside a share/pelko.
    auto layout = layoutFor(facts);
    QVERIFY(!layout.installed);
    QCOMPARE(layout.settingsFolder, facts.programFolder);
    QCOMPARE(layout.dataFolder, facts.programFolder);

    // PELKO_APPDIR wins even when the program's own folder is read-only.
    facts.programFolderWritable = false;
    facts.appDirVariable = QStringLiteral("/mnt/share/pelko/");
    layout = layoutFor(facts);
    QVERIFY(!layout.installed);
    QCOMPARE(layout.settingsFolder, QStringLiteral("/mnt/share/pelko"));
    QCOMPARE(layout.dataFolder, QStringLiteral("/mnt/share/pelko"));
}

void tst_InstallLayout::installedFolders()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("usr/bin"));
    tree.mkdir(QStringLiteral("usr/share/pelko/DATA"));
    Facts facts;
    facts.programFolder = tree.file(QStringLiteral("usr/bin"));
    facts.homeFolder = QStringLiteral("/home/u");
    const QString shared = tree.file(QStringLiteral("usr/share/pelko"));

    facts.programFolderWritable = false;
    auto layout = layoutFor(facts);
    QVERIFY(layout.installed);
    QCOMPARE(layout.settingsFolder, QStringLiteral("/home/u/.config/pelko"));
    QCOMPARE(layout.dataFolder, shared);

    facts.configHome = QStringLiteral("/tmp/cfg/");
    QCOMPARE(layoutFor(facts).settingsFolder, QStringLiteral("/tmp/cfg/pelko"));
    // Relative XDG_CONFIG_HOME is not a valid base.
    facts.configHome = QStringLiteral("cfg");
    QCOMPARE(layoutFor(facts).settingsFolder, QStringLiteral("/home/u/.config/pelko"));

    // Root may write to /usr/bin, yet the installed layout still applies.
    facts.programFolderWritable = true;
    layout = layoutFor(facts);
    QVERIFY(layout.installed);
    QCOMPARE(layout.dataFolder, shared);

    // A writable bin/ without share/pelko beside it is a plain copied folder.
    TempTree other;
    other.mkdir(QStringLiteral("bin"));
    facts.programFolder = other.file(QStringLiteral("bin"));
    QVERIFY(!layoutFor(facts).installed);
}

void tst_InstallLayout::siteSettingsAlongConfigDirs()
{
    TempTree tree;
    tree.write(QStringLiteral("second/pelko/pelko.ini"), "[default]\r\n");
    tree.write(QStringLiteral("third/pelko/pelko.ini"), "[default]\r\n");
    tree.mkdir(QStringLiteral("first/pelko/pelko.ini")); // a folder, not a file

    const QString dirs = tree.file(QStringLiteral("first")) + QStringLiteral("::relative:") +
                         tree.file(QStringLiteral("second")) + u':' +
                         tree.file(QStringLiteral("third"));
    QCOMPARE(InstallLayout::siteSettingsFile(dirs),
             tree.file(QStringLiteral("second/pelko/pelko.ini")));
    QCOMPARE(InstallLayout::siteSettingsFile(tree.file(QStringLiteral("none"))), QString());
}

void tst_InstallLayout::firstStartCopiesSiteSettingsOnce()
{
    TempTree tree;
    const QByteArray site = "[default]\r\ntime=5\r\n";
    tree.write(QStringLiteral("etc/pelko/pelko.ini"), site);
    QFile::setPermissions(tree.file(QStringLiteral("etc/pelko/pelko.ini")),
                          QFile::ReadOwner | QFile::ReadOther);
    const QString configDirs = tree.file(QStringLiteral("etc"));

    InstallLayout::Layout layout{true, tree.file(QStringLiteral("home/.config/pelko")), {}};
    const QString userFile = QStringLiteral("home/.config/pelko/pelko.ini");
    QVERIFY(InstallLayout::prepareUserSettings(layout, configDirs));
    QCOMPARE(tree.read(userFile), site);
    QVERIFY(QFileInfo(tree.file(userFile)).permissions() & QFile::WriteOwner);

    // The user's own changes survive the next start.
    tree.write(userFile, "[default]\r\ntime=2\r\n");
    QVERIFY(InstallLayout::prepareUserSettings(layout, configDirs));
    QCOMPARE(tree.read(userFile), QByteArray("[default]\r\ntime=2\r\n"));

    // No site file: the folder is made, the program then writes its defaults itself.
    InstallLayout::Layout bare{true, tree.file(QStringLiteral("other/pelko")), {}};
    QVERIFY(InstallLayout::prepareUserSettings(bare, tree.file(QStringLiteral("none"))));
    QVERIFY(QFileInfo(bare.settingsFolder).isDir());
    QVERIFY(!QFileInfo::exists(bare.settingsFolder + QStringLiteral("/pelko.ini")));

    // Portable folders are never touched.
    InstallLayout::Layout portable{false, tree.file(QStringLiteral("portable")), {}};
    QVERIFY(InstallLayout::prepareUserSettings(portable, configDirs));
    QVERIFY(!QFileInfo::exists(portable.settingsFolder));
}

QTEST_GUILESS_MAIN(tst_InstallLayout)
#include "tst_InstallLayout.moc"
