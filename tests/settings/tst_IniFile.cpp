#include "settings/IniFile.h"

#include "common/Cp932.h"
#include "support/TempTree.h"

#include <QTest>

namespace
{

// "仮" in Shift-JIS, and a lead byte without its trail byte.
const QByteArray kKanji = QByteArrayLiteral("\x89\xbc");
const QByteArray kBroken = QByteArrayLiteral("\x82");

struct ReadCase {
    const char* tag;
    QByteArray content;
    const char* section;
    const char* key;
    QString expected;
};

struct WriteCase {
    const char* tag;
    QByteArray before;
    const char* section;
    const char* key;
    QString value;
    QByteArray after;
};

} // namespace

class tst_IniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void writesOnlyTheKeyLine_data();
    void writesOnlyTheKeyLine();
    void refusesWhatWouldBreakTheFile_data();
    void refusesWhatWouldBreakTheFile();
    void survivesBadFiles_data();
    void survivesBadFiles();
    void keepsAnUnreadableFile();
    void knowsWhatReadsBackWhole_data();
    void knowsWhatReadsBackWhole();
};

void tst_IniFile::reads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray two = "[default]\r\ntime=5\r\n[Other]\r\ntime=7\r\n";
    const QString a97(97, u'a');
    const QString a98(98, u'a');
    const QString a99(99, u'a');
    const ReadCase cases[] = {
        {"names ignore case", two, "DEFAULT", "TiMe", QStringLiteral("5")},
        {"names trimmed", two, " Other ", " time ", QStringLiteral("7")},
        {"missing key", two, "default", "gspd", {}},
        {"missing section", two, "Font", "time", {}},
        {"blanks around", "[ s ]\r\n \t k \t=  a b \t\r\n", "s", "k", QStringLiteral("a b")},
        {"after the first =", "[s]\r\nk=a=b\r\n", "s", "k", QStringLiteral("a=b")},
        {"one pair of quotes", "[s]\r\nk= \"\"x\"\" \r\n", "s", "k", QStringLiteral("\"x\"")},
        {"lone quote kept", "[s]\r\nk=\"x\r\n", "s", "k", QStringLiteral("\"x")},
        {"first duplicate wins", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "s", "k",
         QStringLiteral("1")},
        {"comment is no key", "[s]\r\n;k=1\r\n", "s", ";k", {}},
        {"key before any section", "k=1\r\n[s]\r\n", "s", "k", {}},
        {"LF, no final line end", "[s]\nk=1\nj=2", "s", "j", QStringLiteral("2")},
        {"Shift-JIS", "[s]\r\nk=" + kKanji + "\r\n", "s", "k", QStringLiteral("仮")},
        {"undecodable line skipped", "[s]\r\nk=" + kBroken + "\r\nj=2\r\n", "s", "j",
         QStringLiteral("2")},
        {"undecodable line is no key", "[s]\r\nk=" + kBroken + "\r\n", "s", "k", {}},
        {"undecodable header", "[s" + kBroken + "]\r\nk=1\r\n", "s", "k", {}},
        {"up to the first NUL", QByteArray("[s]\r\nk=ab\0cd\r\n", 13), "s", "k",
         QStringLiteral("ab")},
        {"99 bytes kept", "[s]\r\nk=" + a99.toLatin1(), "s", "k", a99},
        {"100 bytes cut", "[s]\r\nk=" + a99.toLatin1() + 'b', "s", "k", a99},
        {"kanji ending at byte 99", "[s]\r\nk=" + a97.toLatin1() + kKanji + 'b', "s", "k",
         a97 + QStringLiteral("仮")},
        {"kanji across the limit", "[s]\r\nk=" + a98.toLatin1() + kKanji, "s", "k", a98},
    };
    for (const ReadCase& c : cases)
        QTest::newRow(c.tag) << c.content << QString::fromLatin1(c.section)
                             << QString::fromLatin1(c.key) << c.expected;
}

void tst_IniFile::reads()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TempTree tree;
    tree.write(QStringLiteral("a.ini"), content);
    QCOMPARE(IniFile::readString(tree.file(QStringLiteral("a.ini")), section, key), expected);
}

void tst_IniFile::writesOnlyTheKeyLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray head = "; top\r\n[s]\r\n  a = 1 \r\nk=old\r\n";
    const QByteArray tail = "\r\n; about t\r\n[t]\r\nq=4\r\n";
    const QByteArray mixed = head + tail;
    const WriteCase cases[] = {
        {"no file", {}, "s", "k", QStringLiteral("v"), "[s]\r\nk=v\r\n"},
        {"replaced in place", mixed, "s", "k", QStringLiteral("new"),
         "; top\r\n[s]\r\n  a = 1 \r\nk=new\r\n" + tail},
        {"other case keeps the file's name", mixed, "S", " A", QStringLiteral("9"),
         "; top\r\n[s]\r\na=9\r\nk=old\r\n" + tail},
        {"new key after the last key", mixed, "s", "n", QStringLiteral("5"),
         head + "n=5\r\n" + tail},
        {"new key in an empty section", "[e]\r\n; note\r\n[t]\r\n", "e", "n", QStringLiteral("5"),
         "[e]\r\nn=5\r\n; note\r\n[t]\r\n"},
        {"new section at the end", mixed, "u", "n", QStringLiteral("5"), mixed + "[u]\r\nn=5\r\n"},
        {"unterminated last line", "[s]\r\nk=1", "s", "j", QStringLiteral("2"),
         "[s]\r\nk=1\r\nj=2\r\n"},
        {"LF file keeps its line ends", "[s]\nk=1\nj=2\n", "s", "k", QStringLiteral("3"),
         "[s]\nk=3\nj=2\n"},
        {"undecodable lines kept", "[s]\r\nx=" + kBroken + "\r\n" + kBroken + "[s]\r\nk=1\r\n", "s",
         "k", QStringLiteral("仮"),
         "[s]\r\nx=" + kBroken + "\r\n" + kBroken + "[s]\r\nk=" + kKanji + "\r\n"},
    };
    for (const WriteCase& c : cases)
        QTest::newRow(c.tag) << c.before << QString::fromLatin1(c.section)
                             << QString::fromLatin1(c.key) << c.value << c.after;
}

void tst_IniFile::writesOnlyTheKeyLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TempTree tree;
    const QString path = tree.file(QStringLiteral("a.ini"));
    if (!before.isEmpty())
        tree.write(QStringLiteral("a.ini"), before);
    QVERIFY(IniFile::writeString(path, section, key, value));
    QCOMPARE(tree.read(QStringLiteral("a.ini")), after);
    QCOMPARE(IniFile::readString(path, section, key), value);
}

void tst_IniFile::refusesWhatWouldBreakTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in value") << "s"
                                         << "k"
                                         << "a\r\n[x]\r\ny=1";
    QTest::newRow("not Shift-JIS") << "s"
                                   << "k" << QStringLiteral("a\U0001F600");
    QTest::newRow("= in key") << "s"
                              << "k=x"
                              << "1";
    QTest::newRow("] in section") << "s]x"
                                  << "k"
                                  << "1";
}

void tst_IniFile::refusesWhatWouldBreakTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TempTree tree;
    const QByteArray before = "[s]\r\nk=1\r\n";
    tree.write(QStringLiteral("a.ini"), before);
    QVERIFY(!IniFile::writeString(tree.file(QStringLiteral("a.ini")), section, key, value));
    QCOMPARE(tree.read(QStringLiteral("a.ini")), before);
}

void tst_IniFile::survivesBadFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray garbage;
    for (int i = 0; i < 200000; ++i)
        garbage += char((i * 7919 + i / 13) & 0xFF);
    QTest::newRow("binary garbage") << garbage;
    QByteArray big;
    while (big.size() < 1024 * 1024)
        big += "[sec" + QByteArray::number(big.size()) + "]\r\nkey=" + kKanji + "\r\n";
    QTest::newRow("1 MB") << big;
    QTest::newRow("100 KB line") << QByteArray("[s]\r\nk=" + QByteArray(100 * 1024, 'x'));
}

void tst_IniFile::survivesBadFiles()
{
    QFETCH(QByteArray, content);
    TempTree tree;
    tree.write(QStringLiteral("a.ini"), content);
    const QString path = tree.file(QStringLiteral("a.ini"));
    IniFile::readString(path, u"s", u"k");
    QVERIFY(IniFile::writeString(path, u"new", u"k", u"v"));
    QVERIFY(tree.read(QStringLiteral("a.ini")).startsWith(content));
    QCOMPARE(IniFile::readString(path, u"new", u"k"), QStringLiteral("v"));
}

void tst_IniFile::keepsAnUnreadableFile()
{
    // Tests run as root, so a folder stands in for a file that cannot be read.
    TempTree tree;
    tree.write(QStringLiteral("a.ini/inside"), "x");
    IniFile file(tree.file(QStringLiteral("a.ini")));
    QVERIFY(!file.load());
    QCOMPARE(file.value(u"s", u"k"), QString());
    QVERIFY(file.setValue(u"s", u"k", u"1"));
    QVERIFY(!file.save());
    QCOMPARE(tree.read(QStringLiteral("a.ini/inside")), QByteArray("x"));
}

void tst_IniFile::knowsWhatReadsBackWhole_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("whole");
    const QString a98(98, u'a');
    QTest::newRow("99 bytes") << a98 + u'b' << true;
    QTest::newRow("100 bytes") << a98 + u"bc" << false;
    QTest::newRow("49 full-width") << QString(49, u'仮') << true;
    QTest::newRow("50 full-width") << QString(50, u'仮') << false;
    QTest::newRow("full-width across the end") << a98 + u'仮' << false;
    QTest::newRow("blanks not counted") << u"  " + a98 + u"b \t" << true;
    QTest::newRow("quotes not counted") << u'"' + a98 + u"b\"" << true;
}

// The rule must agree with what a read really gives back.
void tst_IniFile::knowsWhatReadsBackWhole()
{
    QFETCH(QString, value);
    QFETCH(bool, whole);
    QCOMPARE(IniFile::readsBackWhole(value), whole);

    TempTree tree;
    IniFile file(tree.file(QStringLiteral("t.ini")));
    QVERIFY(file.setValue(u"s", u"k", value));
    QVERIFY(file.save());
    IniFile again(file.path());
    QVERIFY(again.load());
    const QString read = again.value(u"s", u"k");
    const QString stored = QString(value).remove(u'"').trimmed();
    QCOMPARE(read == stored, whole);
    QCOMPARE(again.wholeValue(u"s", u"k"), stored);
}

QTEST_GUILESS_MAIN(tst_IniFile)
#include "tst_IniFile.moc"
