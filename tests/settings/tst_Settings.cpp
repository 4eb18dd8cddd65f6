#include "settings/Settings.h"
#include "settings/SettingsText.h"

#include "common/Cp932.h"
#include "support/TempTree.h"

#include <QTest>

#include <memory>

namespace
{

// Every property as "Name=value" lines, so one comparison shows all differences.
QString dump(const Settings& settings)
{
    auto flag = [](bool v) { return v ? QStringLiteral("T") : QStringLiteral("F"); };
    auto number = [](double v) { return QString::number(v); };
    const QStringList all{
        u"LastTime=" + number(settings.durationMinutes()),
        u"ChangeTime=" + flag(settings.canChangeDuration()),
        u"Speed=" + number(settings.passSpeed()),
        u"Filepath=" + settings.certificationFolder(),
        u"TestFilepath=" + settings.practiceFolder(),
        u"PaperSize=" + SettingsText::fromPaperSize(settings.paperSize()),
        u"SortMode=" + SettingsText::fromProblemOrder(settings.problemOrder()),
        u"LogPath=" + settings.logFolder(),
        u"LogName=" + settings.logName(),
        u"SubLogPath=" + settings.passLogFolder(),
        u"SubLogName=" + settings.passLogName(),
        u"SubLog=" + flag(settings.isPassLogEnabled()),
        u"LogStyle=" + settings.passLogFormat(),
        u"BackColor=" + SettingsText::fromColor(settings.backColor()),
        u"ProblemBackColor=" + SettingsText::fromColor(settings.problemBackColor()),
        u"ProblemColor=" + SettingsText::fromColor(settings.problemColor()),
        u"BackMode=" + number(qToUnderlying(settings.backgroundMode())),
        u"ShowPlactice=" + flag(settings.menuShowsPractice()),
        u"ShowKankyo=" + flag(settings.menuShowsSettings()),
        u"RankingMode=" + flag(settings.rankingShowsRepeats()),
        u"FontBase=" + number(settings.baseFontSize()),
        u"FontReturn=" + number(settings.rowGapFontSize()),
        u"FontResult=" + number(settings.resultFontSize()),
        u"WindowSize=" + number(settings.windowPercent()),
    };
    return all.join(u'\n');
}

// Font sizes no file holds, so that loading must put the file's values or defaults in.
void spoilFontSizes(Settings& settings)
{
    settings.setBaseFontSize(1);
    settings.setRowGapFontSize(1);
    settings.setResultFontSize(1);
}

QString property(const Settings& settings, const QString& name)
{
    for (const QString& line : dump(settings).split(u'\n')) {
        if (line.startsWith(name + u'='))
            return line.mid(name.size() + 1);
    }
    return QStringLiteral("?");
}

struct Rule {
    const char* tag;
    const char* ini;
    const char* property;
    const char* expected;
};

const Rule kRules[] = {
    {"time half down to even", "[default]\ntime=2.5", "LastTime", "2"},
    {"time half up to even", "[default]\ntime=3.5", "LastTime", "4"},
    // A run the menus cannot show would be timed by one length and scored by another.
    {"time not numeric", "[default]\ntime=abc", "LastTime", "1"},
    {"time past the menus", "[default]\ntime=90", "LastTime", "60"},
    {"time empty", "[default]\ntime=", "LastTime", "3"},
    {"chtm on", "[default]\nchtm=1", "ChangeTime", "T"},
    {"gspd spaces", "[default]\ngspd=  ", "Speed", "25"},
    {"data without slash", "[default]\ndata=/w/d", "Filepath", "/w/d/"},
    {"data with slash", "[default]\ndata=/w/d/", "Filepath", "/w/d/"},
    {"testdata", "[default]\ntestdata=/w/p", "TestFilepath", "/w/p/"},
    {"paper word", "[default]\npaper=A4", "PaperSize", "0"},
    {"paper fraction", "[default]\npaper=8.5", "PaperSize", "8.5"},
    {"SortMode 1", "[default]\nSortMode=1", "SortMode", "SEQUENCE"},
    {"SortMode spaced select", "[default]\nSortMode=  select  ", "SortMode", "SELECT"},
    {"SortMode 2", "[default]\nSortMode=2", "SortMode", "SELECT"},
    {"SortMode other", "[default]\nSortMode=order", "SortMode", "RANDOM"},
    {"log name without dot", "[MainLog]\nName=result", "LogName", "result.log"},
    {"log name with dot", "[MainLog]\nName=result.txt", "LogName", "result.txt"},
    {"sub-log name without dot", "[Sublog]\nName=pass", "SubLogName", "pass.log"},
    {"style lower case", "[Sublog]\nStyle=0123456789abcdef", "LogStyle", "0123456789ABCDEF"},
    {"style repeats", "[Sublog]\nStyle=FF00", "LogStyle", "FF00"},
    {"style empty", "[Sublog]\nStyle=", "LogStyle", "0123456789ABCDEF"},
    // Text that names no colour reads as none; saving keeps the text
    // (unchangedColoursKeepTheirText).
    {"colour unchecked", "[BackGround]\nProblemColor=red", "ProblemColor", "&HFFFF"},
    {"colour short literal", "[BackGround]\nBackColor=&HFF", "BackColor", "&H0000FF"},
    {"back mode", "[BackGround]\nMode=2.5", "BackMode", "2"},
    {"plactice off", "[Display]\nplactice= off ", "ShowPlactice", "F"},
    {"plactice 0", "[Display]\nplactice=0", "ShowPlactice", "T"},
    {"ranking 1", "[Ranking]\nmode=1", "RankingMode", "T"},
    {"ranking -1", "[Ranking]\nmode=-1", "RankingMode", "F"},
    {"font base", "[Font]\nBase=12.5", "FontBase", "12.5"},
    {"font word", "[Font]\nResult=big", "FontResult", "11"},
    {"width empty", "[Window]\nWidth=", "WindowSize", "80"},
    {"width word", "[Window]\nWidth=wide", "WindowSize", "80"},
    {"same log file", "[MainLog]\nPath=/l\nName=a\n[Sublog]\nPath=/l/\nName=a.log", "SubLogName",
     "a.log2"},
    {"same default log file", "[Sublog]\nName=pelko.log", "SubLogName", "pelko.log2"},
    {"log names differ in case", "[MainLog]\nName=A.log\n[Sublog]\nName=a.log", "SubLogName",
     "a.log2"},
    {"log folders differ in case", "[MainLog]\nPath=/L\n[Sublog]\nPath=/l\nName=PELKO.LOG",
     "SubLogName", "PELKO.LOG2"},
};

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void defaultsWithoutFile();
    void readRules_data();
    void readRules();
    void outOfRangeStopsLoading_data();
    void outOfRangeStopsLoading();
    void saveBeforeLoadLeavesFile();
    void writesTheDocumentedFile();
    void roundTripKeepsForeignContent();
    void unchangedColoursKeepTheirText();
    void badFilesLoadAndKeepTheirLines_data();
    void badFilesLoadAndKeepTheirLines();
    void unreadableOrUnwritableFileReportsFailure();
    void valuesCutOnReadingSurviveSaving();
    void siteValuesHoldBeneathTheUsersOwn();

private:
    void writeIni(QString text) const;
    QString app() const { return m_tree->path() + QStringLiteral("/app"); }
    QString appData() const { return m_tree->path() + QStringLiteral("/u"); }
    QByteArray ini() const { return m_tree->read(QStringLiteral("app/pelko.ini")); }

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
};

void tst_Settings::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("app"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", app());
    m_appData = std::make_unique<ScopedEnv>("APPDATA", appData());
}

void tst_Settings::cleanup()
{
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_Settings::writeIni(QString text) const
{
    m_tree->writeCp932(QStringLiteral("app/pelko.ini"),
                       text.replace(u'\n', QStringLiteral("\r\n")) + u"\r\n");
}

void tst_Settings::defaultsWithoutFile()
{
    Settings settings;
    spoilFontSizes(settings);
    settings.load();
    QVERIFY(settings.isLoaded());
    const QString logs = appData() + u"/pelko/";
    QCOMPARE(dump(settings),
             QStringLiteral("LastTime=3\nChangeTime=F\nSpeed=25\n") + u"Filepath=" + app() +
                 u"/DATA/\nTestFilepath=" + app() +
                 u"/PLACTICE/\nPaperSize=9\nSortMode=RANDOM\nLogPath=" + logs +
                 u"\nLogName=pelko.log\nSubLogPath=" + logs +
                 u"\nSubLogName=pksub.log\nSubLog=F\nLogStyle=0123456789ABCDEF\n"
                 u"BackColor=&HE0E0E0\nProblemBackColor=&HFFFFFF\nProblemColor=&H000000\n"
                 u"BackMode=0\nShowPlactice=T\nShowKankyo=T\nRankingMode=F\n"
                 u"FontBase=13\nFontReturn=3\nFontResult=11\nWindowSize=80");
}

void tst_Settings::readRules_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    for (const Rule& r : kRules)
        QTest::newRow(r.tag) << QString::fromLatin1(r.ini) << QString::fromLatin1(r.property)
                             << QString::fromLatin1(r.expected);
    // Names in the file match in any letter case.
    QTest::newRow("names in other case") << "[WINDOW]\nwidth=95"
                                         << "WindowSize"
                                         << "95";
}

void tst_Settings::readRules()
{
    QFETCH(QString, file);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    writeIni(file);
    Settings settings;
    spoilFontSizes(settings);
    settings.load();
    QVERIFY(settings.isLoaded());
    QCOMPARE(::property(settings, property), expected);
}

void tst_Settings::outOfRangeStopsLoading_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("time 32767") << "[default]\ntime=32767" << true;
    QTest::newRow("time 32768") << "[default]\ntime=32768" << false;
    QTest::newRow("gspd -32768.5 rounds in") << "[default]\ngspd=-32768.5" << true;
    QTest::newRow("gspd -32769") << "[default]\ngspd=-32769" << false;
    QTest::newRow("Mode 1e10") << "[BackGround]\nMode=1e10" << false;
    QTest::newRow("Width 40000") << "[Window]\nWidth=40000" << false;
}

void tst_Settings::outOfRangeStopsLoading()
{
    QFETCH(QString, file);
    QFETCH(bool, loaded);
    writeIni(file);
    Settings settings;
    settings.load();
    QCOMPARE(settings.isLoaded(), loaded);
}

void tst_Settings::saveBeforeLoadLeavesFile()
{
    writeIni(QStringLiteral("[default]\ntime=9"));
    const QByteArray before = ini();
    Settings settings;
    QVERIFY(!settings.save());
    QCOMPARE(ini(), before);
}

void tst_Settings::writesTheDocumentedFile()
{
    Settings settings;
    settings.load();
    QVERIFY(settings.save());
    settings.savePassLogFormat();
    const QString logs = appData() + u"/pelko/\r\n";
    const QString expected =
        u"[default]\r\ntime=3\r\nchtm=0\r\ngspd=25\r\ndata=" + app() + u"/DATA/\r\ntestdata=" +
        app() +
        u"/PLACTICE/\r\npaper=9\r\nSortMode=RANDOM\r\n[BackGround]\r\nBackColor=&HE0E0E0\r\n"
        u"Mode=0\r\nProblemBackColor=&HFFFFFF\r\nProblemColor=&H000000\r\n[MainLog]\r\nPath=" +
        logs + u"Name=pelko.log\r\n[Sublog]\r\nPath=" + logs +
        u"Name=pksub.log\r\nFlag=0\r\nStyle=0123456789ABCDEF\r\n[Ranking]\r\nmode=0\r\n"
        u"[Font]\r\nBase=13\r\nReturn=3\r\nResult=11\r\n[Window]\r\nWidth=80\r\n";
    QCOMPARE(ini(), expected.toUtf8());
}

void tst_Settings::roundTripKeepsForeignContent()
{
    writeIni(QStringLiteral("; 設定\n[DEFAULT]\nTIME=5\nextra=残す\n\n[Unknown]\na=1\n"
                            "[Font]\nBase=10.5\n[Display]\nplactice=off"));
    Settings settings;
    settings.load();
    settings.setDurationMinutes(4);
    settings.setLogFolder(QStringLiteral("/ログ/"));
    QVERIFY(settings.save());

    const QString after = Cp932::decode(ini()).text;
    QVERIFY2(after.startsWith(u"; 設定\r\n[DEFAULT]\r\nTIME=4\r\nextra=残す\r\nchtm=0\r\n"),
             qPrintable(after));
    QVERIFY2(after.contains(u"\r\n\r\n[Unknown]\r\na=1\r\n[Font]\r\nBase=10.5\r\nReturn=3\r\n"
                            u"Result=11\r\n[Display]\r\nplactice=off\r\n[BackGround]\r\n"),
             qPrintable(after));

    Settings again;
    again.load();
    QCOMPARE(again.durationMinutes(), 4);
    QCOMPARE(again.logFolder(), QStringLiteral("/ログ/"));
    QCOMPARE(again.menuShowsPractice(), false);
    QCOMPARE(again.baseFontSize(), 10.5f);
}

void tst_Settings::unchangedColoursKeepTheirText()
{
    writeIni(QStringLiteral("[BackGround]\nBackColor=&HFF\nProblemBackColor=red\nProblemColor=1"));
    Settings settings;
    settings.load();
    QCOMPARE(settings.backColor(), QColor(Qt::red));
    QVERIFY(!settings.problemBackColor().isValid());
    settings.setProblemColor(QColor(0, 0, 2));
    QVERIFY(settings.save());
    const QString after = Cp932::decode(ini()).text;
    QVERIFY2(after.startsWith(u"[BackGround]\r\nBackColor=&HFF\r\nProblemBackColor=red\r\n"
                              u"ProblemColor=&H020000\r\nMode=0\r\n"),
             qPrintable(after));
}

void tst_Settings::badFilesLoadAndKeepTheirLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray garbage;
    for (int i = 0; i < 200000; ++i)
        garbage += char((i * 7919 + i / 13) & 0xFF);
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("1 MB line") << QByteArray("[x]\r\n" + QByteArray(1024 * 1024, ';'));
    QTest::newRow("invalid Shift-JIS") << QByteArray("[default]\r\n\x82\xff\r\ndata=\x81\r\n");
}

void tst_Settings::badFilesLoadAndKeepTheirLines()
{
    QFETCH(QByteArray, content);
    m_tree->write(QStringLiteral("app/pelko.ini"), content);
    Settings settings;
    settings.load();
    QVERIFY(settings.isLoaded());
    QVERIFY(settings.save());
    // Every old line is still there, in its order.
    const QByteArray after = ini();
    qsizetype from = 0;
    for (const QByteArray& line : content.split('\n')) {
        from = after.indexOf(line, from);
        QVERIFY2(from >= 0, "a line of the old file is lost");
        from += line.size();
    }
}

void tst_Settings::unreadableOrUnwritableFileReportsFailure()
{
    // Tests run as root: a folder named like the file cannot be read or replaced.
    m_tree->write(QStringLiteral("app/pelko.ini/keep"), "x");
    Settings settings;
    settings.load();
    QVERIFY(settings.isLoaded());
    QVERIFY(!settings.save());
    settings.savePassLogFormat();
    QCOMPARE(m_tree->read(QStringLiteral("app/pelko.ini/keep")), QByteArray("x"));

    // A value the file's code page cannot hold fails the save instead of being mangled.
    m_tree->mkdir(QStringLiteral("other"));
    ScopedEnv other("PELKO_APPDIR", m_tree->file(QStringLiteral("other")));
    settings.load();
    settings.setLogFolder(QStringLiteral("/\U0001F600/"));
    QVERIFY(!settings.save());
    const QByteArray written = m_tree->read(QStringLiteral("other/pelko.ini"));
    QVERIFY(written.contains("time=3\r\n") && !written.contains("[MainLog]\r\nPath"));
}

void tst_Settings::valuesCutOnReadingSurviveSaving()
{
    QString deep = QStringLiteral("/srv");
    for (int i = 1; i <= 12; ++i)
        deep += QStringLiteral("/folder%1").arg(i, 2, 10, QLatin1Char('0'));
    const QString name = QString(97, u'n') + u".log";
    const QString passFolder = QStringLiteral("/ログ") + deep;
    const QString dataLine = u"data=" + deep;
    const QString nameLine = u"Name=" + name;
    const QString passLine = u"Path = \"" + passFolder + u"\" ";
    writeIni(u"[default]\n" + dataLine + u"\ntestdata=" + deep + u"\n[MainLog]\n" + nameLine +
             u"\n[Sublog]\n" + passLine);

    Settings settings;
    settings.load();
    QVERIFY(settings.isLoaded());
    // Reading still cuts, as a 100-byte buffer does.
    const QString cutFolder = deep.left(99) + u'/';
    QCOMPARE(settings.certificationFolder(), cutFolder);
    QCOMPARE(settings.logName(), name.left(99));
    QCOMPARE(settings.passLogFolder(), Cp932::leftBytes(passFolder, 99) + u'/');

    // Only a changed value is checked as the user's own.
    QVERIFY(settings.storesWhole(Settings::Text::CertificationFolder, cutFolder));
    QVERIFY(!settings.storesWhole(Settings::Text::LogFolder, cutFolder));
    QVERIFY(!settings.storesWhole(Settings::Text::CertificationFolder, cutFolder + u'x'));
    QVERIFY(settings.storesWhole(Settings::Text::LogFolder, QString(99, u'a')));
    QVERIFY(!settings.storesWhole(Settings::Text::LogFolder, QString(100, u'a')));

    settings.setDurationMinutes(7);
    settings.setPracticeFolder(QStringLiteral("/short/"));
    QVERIFY(settings.save());
    const QString after = Cp932::decode(ini()).text;
    for (const QString& line : {dataLine, nameLine, passLine})
        QVERIFY2(after.contains(line + u"\r\n"), qPrintable(line));
    QVERIFY(after.contains(u"\r\ntime=7\r\n"));
    QVERIFY(after.contains(u"\r\ntestdata=/short/\r\n"));

    Settings again;
    again.load();
    QCOMPARE(again.certificationFolder(), cutFolder);
    QCOMPARE(again.logName(), name.left(99));

    // A file that lost the value meanwhile gets the whole of it back, not the cut one.
    writeIni(QStringLiteral("[default]\ntime=7"));
    QVERIFY(settings.save());
    QVERIFY(Cp932::decode(ini()).text.contains(dataLine + u"\r\n"));
}

// A student's own file against the administrator's: plain site values reach him unless he
// set the key himself, fixed ones ([$i] on a key or a section) whatever he set, and saving
// copies neither into his file.
void tst_Settings::siteValuesHoldBeneathTheUsersOwn()
{
    m_tree->write(QStringLiteral("site.ini"),
                  "[default]\r\ngspd[$i]=30\r\ntime=10\r\npaper=12\r\n"
                  "[Display][$i]\r\nkankyo=OFF\r\n"
                  "[Certificate][$i]\r\nAddress=https://s.example/v\r\n");
    // The site's signing key lies beside its file.
    m_tree->write(QStringLiteral("pelko-site.key"), "");
    const QString site = m_tree->file(QStringLiteral("site.ini"));
    writeIni(QStringLiteral("[default]\ngspd=1\npaper=13\n[Display]\nkankyo=ON\n"));
    Settings settings;
    settings.load(site);
    QVERIFY(settings.isLoaded());
    QCOMPARE(settings.passSpeed(), 30);
    QCOMPARE(settings.durationMinutes(), 10);
    QCOMPARE(settings.paperSize(), PaperSize(PaperSize::B5));
    QVERIFY(!settings.menuShowsSettings());
    QCOMPARE(settings.certificateKeyFile(), m_tree->file(QStringLiteral("pelko-site.key")));
    QCOMPARE(settings.verifyAddress(), QStringLiteral("https://s.example/v"));

    settings.setPassSpeed(1);
    QVERIFY(settings.save());
    QCOMPARE(settings.passSpeed(), 30);
    const QByteArray saved = ini();
    QVERIFY2(!saved.contains("time=") && !saved.contains("kankyo=OFF") &&
                 !saved.contains("Certificate"),
             saved.constData());

    // A changed site value reaches him at the next start.
    m_tree->write(QStringLiteral("site.ini"), "[default]\r\ngspd[$i]=35\r\ntime=5\r\n");
    settings.load(site);
    QCOMPARE(settings.passSpeed(), 35);
    QCOMPARE(settings.durationMinutes(), 5);
    // Where the site names a key, [$i] or not, his own file cannot turn signing off.
    QFile::remove(m_tree->file(QStringLiteral("pelko-site.key")));
    m_tree->write(QStringLiteral("site.ini"), "[Certificate]\r\nKeyFile=/srv/pelko/site.key\r\n");
    writeIni(QStringLiteral("[Certificate]\nKeyFile=\n"));
    settings.load(site);
    QCOMPARE(settings.certificateKeyFile(), QStringLiteral("/srv/pelko/site.key"));
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
