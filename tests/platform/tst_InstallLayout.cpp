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
    void firstStartCopiesNothing();
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

    // A class share the students may only read, holding the settings or the problems beside
    // the program, is no installation.
    facts.appDirVariable.clear();
    for (const QString& own : {QStringLiteral("share/DATA"), QStringLiteral("ini/PELKO.INI")}) {
        tree.mkdir(own);
        facts.programFolder = QFileInfo(tree.file(own)).path();
        layout = layoutFor(facts);
        QVERIFY2(!layout.installed, qPrintable(own));
        QCOMPARE(layout.settingsFolder, facts.programFolder);
    }
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

void tst_InstallLayout::firstStartCopiesNothing()
{
    TempTree tree;
    tree.write(QStringLiteral("etc/pelko/pelko.ini"), "[default]\r\ntime=5\r\n");

    // The site's file is read beneath the user's, never copied: a copy would keep the
    // administrator's later changes from him.
    InstallLayout::Layout layout{true, tree.file(QStringLiteral("home/.config/pelko")), {}};
    QVERIFY(InstallLayout::prepareUserSettings(layout));
    QVERIFY(QFileInfo(layout.settingsFolder).isDir());
    QVERIFY(!QFileInfo::exists(layout.settingsFolder + QStringLiteral("/pelko.ini")));

    // A settings folder that cannot be made is told.
    tree.write(QStringLiteral("file"), "x");
    InstallLayout::Layout blocked{true, tree.file(QStringLiteral("file/pelko")), {}};
    QVERIFY(!InstallLayout::prepareUserSettings(blocked));

    // Portable folders are never touched.
    InstallLayout::Layout portable{false, tree.file(QStringLiteral("portable")), {}};
    QVERIFY(InstallLayout::prepareUserSettings(portable));
    QVERIFY(!QFileInfo::exists(portable.settingsFolder));
}

QTEST_GUILESS_MAIN(tst_InstallLayout)
#include "tst_InstallLayout.moc"
