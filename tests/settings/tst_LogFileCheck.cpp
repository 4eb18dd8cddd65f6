#include "settings/LogFileCheck.h"
#include "settings/VolumeList.h"
#include "support/TempTree.h"

#include <QTest>

class tst_LogFileCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void existingFiles_data();
    void existingFiles();
    void namesWithoutUsableFile();
    void nameFoundIgnoringCase();
    void driveOf_data();
    void driveOf();
    void pseudoVolumes();
};

void tst_LogFileCheck::existingFiles_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("main log")
        << QStringLiteral(
               "12,\"05-20-2005\",\"14:03:12\",\"A001\",\"山田\",\"PC01\",\"u\",\"jpn_dat.1\","
               "85.5,97.25,3,257,260,35,12,180\r\n13,\"05-21-2005\"\r\n")
        << true;
    QTest::newRow("quoted number") << QStringLiteral("\"12\",\"05-20-2005\"\r\n") << true;
    QTest::newRow("blanks around number") << QStringLiteral("  0 ,05-20-2005\r\n") << true;
    QTest::newRow("empty file") << QString() << true;
    QTest::newRow("only later lines bad")
        << QStringLiteral("1,\"01-02-2003\"\r\nrubbish\r\n") << true;
    QTest::newRow("word first") << QStringLiteral("hello,\"05-20-2005\"\r\n") << false;
    QTest::newRow("pass log without number")
        << QStringLiteral("\"05-20-2005\",\"14:03:12\",\"A001\",\r\n") << false;
    QTest::newRow("single field") << QStringLiteral("12\r\n") << false;
    QTest::newRow("single field, no line end") << QStringLiteral("12") << false;
    QTest::newRow("second field not a date") << QStringLiteral("12,\"A001\"\r\n") << false;
    QTest::newRow("impossible date") << QStringLiteral("12,\"13-45-2005\"\r\n") << false;
    QTest::newRow("blank first line") << QStringLiteral("\r\n1,\"05-20-2005\"\r\n") << false;
}

void tst_LogFileCheck::existingFiles()
{
    QFETCH(QString, content);
    QFETCH(bool, accepted);
    TempTree tree;
    tree.writeCp932(QStringLiteral("logs/my.log"), content);
    QCOMPARE(
        LogFileCheck::isAcceptable(tree.file(QStringLiteral("logs")), QStringLiteral("my.log")),
        accepted);
}

void tst_LogFileCheck::namesWithoutUsableFile()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("logs/old.log"));
    const QString folder = tree.file(QStringLiteral("logs"));
    // A new log is created on its first write.
    QVERIFY(LogFileCheck::isAcceptable(folder, QStringLiteral("new.log")));
    QVERIFY(LogFileCheck::isAcceptable(tree.file(QStringLiteral("missing")),
                                       QStringLiteral("new.log")));
    // Nothing could ever be appended to these.
    QVERIFY(!LogFileCheck::isAcceptable(folder, QStringLiteral("old.log")));
    QVERIFY(!LogFileCheck::isAcceptable(folder, QString()));
    QVERIFY(!LogFileCheck::isAcceptable(folder, QStringLiteral("  ")));
}

void tst_LogFileCheck::nameFoundIgnoringCase()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("Logs/PKSUB.LOG"), QStringLiteral("\"05-20-2005\",x,\r\n"));
    QVERIFY(!LogFileCheck::isAcceptable(tree.file(QStringLiteral("logs")),
                                        QStringLiteral("pksub.log")));
}

void tst_LogFileCheck::driveOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");
    QTest::newRow("nested volume") << QStringLiteral("/home/a/b") << QStringLiteral("/home");
    QTest::newRow("volume root") << QStringLiteral("/home/") << QStringLiteral("/home");
    QTest::newRow("name sharing a prefix") << QStringLiteral("/homer/x") << QStringLiteral("/");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
    QTest::newRow("drive letter") << QStringLiteral("C:\\data") << QString();
    QTest::newRow("relative") << QStringLiteral("data/x") << QString();
}

void tst_LogFileCheck::driveOf()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    const QStringList roots{QStringLiteral("/"), QStringLiteral("/home"),
                            QStringLiteral("/media/usb")};
    QCOMPARE(VolumeList::driveOf(path, roots), drive);
}

void tst_LogFileCheck::pseudoVolumes()
{
    QVERIFY(VolumeList::isPseudoVolume("proc", QStringLiteral("/proc")));
    QVERIFY(VolumeList::isPseudoVolume("tmpfs", QStringLiteral("/run/user/1000")));
    QVERIFY(!VolumeList::isPseudoVolume("vfat", QStringLiteral("/run/media/me/USB")));
    QVERIFY(VolumeList::driveRoots().startsWith(QStringLiteral("/")));
}

QTEST_GUILESS_MAIN(tst_LogFileCheck)
#include "tst_LogFileCheck.moc"
