#include "common/Cp932.h"
#include "platform/MessageService.h"
#include "settings/PassLogFormatRules.h"
#include "settings/Settings.h"
#include "settings/SettingsRules.h"
#include "support/TempTree.h"

#include <QDir>
#include <QSet>
#include <QTest>

using namespace SettingsRules;
Q_DECLARE_METATYPE(const SettingsRules::Bar*)

namespace
{

const QString kGiveUp = QStringLiteral(
    "データファイルが正しくセットされているかどうかを確認してもう一度起動してください");
const QString kPracticeFirst =
    QStringLiteral("練習用データの指定ディレクトリが間違っています。デフォルト値を使用します");
const QString kPracticeLater =
    QStringLiteral("仮にPelkoのフォルダに参照します。あとから見直してください");
const QString kLogFirst =
    QStringLiteral("ログの指定ディレクトリが間違っています。デフォルト値を使用します");

const QDateTime kNow(QDate(2005, 5, 20), QTime(14, 3, 12));

} // namespace

// The settings dialogs' rules: bars, colours, the folder check, the pass-log format.
class tst_SettingsRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void barEnds_data();
    void barEnds();
    void fontLabels_data();
    void fontLabels();
    void shownColors_data();
    void shownColors();
    void colorBoxValue();

    void practiceFailsOnce();
    void logAndDefaultMissingCreated();
    void logCreateRefused();
    void tenFailuresOverSeveralRuns();

    void titlesOfStyle_data();
    void titlesOfStyle();
    void addAndRemove();
    void confirmCases_data();
    void confirmCases();
    void blockFailureKeepsSetting();

private:
    QByteArray subLog() const { return m_tree->read(QStringLiteral("sub/pksub.log")); }

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<Settings> m_settings;
};

void tst_SettingsRules::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("app"));
    m_tree->mkdir(QStringLiteral("sub"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->file(QStringLiteral("app")));
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->file(QStringLiteral("data")));
    m_messages = std::make_unique<MessageRecorder>();
    m_settings = std::make_unique<Settings>();
    m_settings->load();
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("sub")));
}

void tst_SettingsRules::cleanup()
{
    m_settings.reset();
    m_messages.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_SettingsRules::barEnds_data()
{
    QTest::addColumn<const Bar*>("bar");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");

    QTest::newRow("duration 60 at the top") << &DurationBar << 60.0 << 1 << "60";
    QTest::newRow("duration 1 at the bottom") << &DurationBar << 1.0 << 60 << "1";
    QTest::newRow("duration 0 held at the bottom") << &DurationBar << 0.0 << 60 << "1";
    QTest::newRow("duration 90 held at the top") << &DurationBar << 90.0 << 1 << "60";
    QTest::newRow("speed 400 at the top") << &PassSpeedBar << 400.0 << 0 << "400";
    QTest::newRow("speed 1 at the bottom") << &PassSpeedBar << 1.0 << 399 << "1";
    QTest::newRow("speed 0 shown as 1") << &PassSpeedBar << 0.0 << 399 << "1";
    QTest::newRow("speed 25") << &PassSpeedBar << 25.0 << 375 << "25";
    QTest::newRow("window 100") << &WindowPercentBar << 100.0 << 0 << "100";
    QTest::newRow("window 1") << &WindowPercentBar << 1.0 << 99 << "1";
    QTest::newRow("window 80") << &WindowPercentBar << 80.0 << 20 << "80";
    QTest::newRow("base font 30") << &BaseFontBar << 30.0 << 0 << "30";
    QTest::newRow("base font 0.5") << &BaseFontBar << 0.5 << 295 << "0.5";
    QTest::newRow("base font 13") << &BaseFontBar << 13.0 << 170 << "13";
    QTest::newRow("return font 9.6") << &RowGapBar << 9.6 << 0 << "9.6";
    QTest::newRow("return font 0.1") << &RowGapBar << 0.1 << 95 << "0.1";
    QTest::newRow("return font 3") << &RowGapBar << 3.0 << 66 << "3";
    QTest::newRow("result font 30") << &ResultFontBar << 30.0 << 0 << "30";
    QTest::newRow("result font 0.5") << &ResultFontBar << 0.5 << 295 << "0.5";
    QTest::newRow("result font 10.5") << &ResultFontBar << 10.5 << 195 << "10.5";
}

void tst_SettingsRules::barEnds()
{
    QFETCH(const Bar*, bar);
    QFETCH(double, value);
    QFETCH(int, position);
    QFETCH(QString, label);
    QCOMPARE(positionFor(*bar, value), position);
    QCOMPARE(labelAt(*bar, position), label);
}

void tst_SettingsRules::fontLabels_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<QString>("label");
    QTest::newRow("in range keeps its own text") << 12.25f << "12.25";
    QTest::newRow("lowest") << 0.5f << "0.5";
    QTest::newRow("too small shows the bottom") << 0.2f << "0.5";
    QTest::newRow("too large shows the top") << 45.0f << "30";
}

void tst_SettingsRules::fontLabels()
{
    QFETCH(float, size);
    QFETCH(QString, label);
    QCOMPARE(fontLabel(BaseFontBar, size), label);
}

void tst_SettingsRules::shownColors_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("valid literal kept as stored") << "&HFF8000"
                                                  << "&HFF8000";
    QTest::newRow("highest value") << "&HFFFFFF"
                                   << "&HFFFFFF";
    QTest::newRow("decimal number counts") << "255"
                                           << "255";
    QTest::newRow("not a number") << "blue"
                                  << "&H123456";
    QTest::newRow("too large") << "&H1000000"
                               << "&H123456";
    QTest::newRow("negative") << "-1"
                              << "&H123456";
    QTest::newRow("empty") << ""
                           << "&H123456";
}

void tst_SettingsRules::shownColors()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(shownColorText(stored, QStringLiteral("&H123456")), shown);
}

void tst_SettingsRules::colorBoxValue()
{
    QCOMPARE(colorValueOfBox(QStringLiteral("&HE0E0E0")), 0xE0E0E0);
    QCOMPARE(colorValueOfBox(QStringLiteral("rubbish")), 0);
    QCOMPARE(colorValueOfBox(QStringLiteral("99999999999")), 0);
    const auto custom = initialCustomColors();
    QCOMPARE(custom[0], 0x0FFFFF);
    QCOMPARE(custom[15], 0xFFFFFF);
}

void tst_SettingsRules::practiceFailsOnce()
{
    // Practice folder missing, its default present: one message, then the next folders.
    m_tree->mkdir(QStringLiteral("ok"));
    const QString okFolder = m_tree->file(QStringLiteral("ok"));
    std::array<FolderGroup, FolderCount> groups{
        {{m_tree->file(QStringLiteral("gone")), 1}, {okFolder, 1}, {okFolder, 1}, {okFolder, 1}}};
    const std::array<QString, FolderCount> defaults{okFolder + u'/', okFolder, okFolder, okFolder};
    QList<Folder> repaired;
    FolderCheck check;
    check.repaired = [&](Folder f, const FolderGroup&) { repaired << f; };

    QVERIFY(check.run(groups, defaults));
    QCOMPARE(m_messages->texts(), QStringList{kPracticeFirst});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ディレクトリエラー"));
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(groups[Practice].option, 0);
    QCOMPARE(groups[Practice].text, okFolder + u'/');
    QCOMPARE(repaired, QList<Folder>{Practice});
    QCOMPARE(check.failures(), 1);
    QVERIFY(check.failedBefore(Practice));
    QVERIFY(!check.failedBefore(Certification));
}

void tst_SettingsRules::logAndDefaultMissingCreated()
{
    m_tree->mkdir(QStringLiteral("ok"));
    const QString okFolder = m_tree->file(QStringLiteral("ok"));
    const QString logDefault = m_tree->file(QStringLiteral("appdata-Pelko")) + u'/';
    std::array<FolderGroup, FolderCount> groups{
        {{okFolder, 1}, {okFolder, 1}, {m_tree->file(QStringLiteral("nolog")), 1}, {okFolder, 1}}};
    const std::array<QString, FolderCount> defaults{okFolder, okFolder, logDefault, okFolder};
    m_messages->script({MessageAnswer::Ok, MessageAnswer::Yes});

    FolderCheck check;
    QVERIFY(check.run(groups, defaults));
    QCOMPARE(m_messages->texts(),
             (QStringList{kLogFirst,
                          logDefault + QStringLiteral("がありません。作成してよろしいですか？")}));
    QCOMPARE(m_messages->shown().at(1).title, QStringLiteral("フォルダの確認"));
    QCOMPARE(m_messages->shown().at(1).buttons, MessageButtons::YesNo);
    QVERIFY(QFileInfo(logDefault).isDir());
    QCOMPARE(groups[Log].option, 1);
    QCOMPARE(groups[Log].text, logDefault);
    QCOMPARE(check.failures(), 2);
}

void tst_SettingsRules::logCreateRefused()
{
    // No: the operator is told to look, and the check keeps failing until it gives up.
    m_tree->mkdir(QStringLiteral("ok"));
    const QString okFolder = m_tree->file(QStringLiteral("ok"));
    const QString missing = m_tree->file(QStringLiteral("nosub"));
    std::array<FolderGroup, FolderCount> groups{
        {{okFolder, 1}, {okFolder, 1}, {okFolder, 1}, {missing, 1}}};
    const std::array<QString, FolderCount> defaults{okFolder, okFolder, okFolder, missing};
    QList<MessageAnswer> answers{MessageAnswer::Ok};
    for (int i = 0; i < 9; ++i)
        answers << MessageAnswer::No << MessageAnswer::Ok;
    m_messages->script(answers);

    FolderCheck check;
    QVERIFY(!check.run(groups, defaults));
    const QStringList texts = m_messages->texts();
    QCOMPARE(
        texts.at(0),
        QStringLiteral("合格ログの指定ディレクトリが間違っています。デフォルト値を使用します"));
    QCOMPARE(texts.at(2), QStringLiteral("フォルダ位置を確認してください"));
    QCOMPARE(texts.last(), kGiveUp);
    QCOMPARE(check.failures(), 10);
    QVERIFY(!QFileInfo::exists(missing));
}

void tst_SettingsRules::tenFailuresOverSeveralRuns()
{
    // A missing practice folder whose default exists fails once per run; the count and the
    // flag carry over, so the second run goes straight to the second-failure treatment.
    const QString okFolder = m_tree->file(QStringLiteral("ok"));
    m_tree->mkdir(QStringLiteral("ok"));
    const std::array<QString, FolderCount> defaults{okFolder, okFolder, okFolder, okFolder};
    FolderCheck check;

    auto runOnce = [&] {
        std::array<FolderGroup, FolderCount> groups{{{m_tree->file(QStringLiteral("gone")), 1},
                                                     {okFolder, 1},
                                                     {okFolder, 1},
                                                     {okFolder, 1}}};
        return check.run(groups, defaults);
    };
    QVERIFY(runOnce());
    QCOMPARE(m_messages->texts(), QStringList{kPracticeFirst});
    m_messages->clear();
    QVERIFY(runOnce());
    QCOMPARE(m_messages->texts(), QStringList{kPracticeLater});
    QCOMPARE(m_messages->shown().at(0).title, applicationTitle());
    for (int run = 3; run <= 9; ++run)
        QVERIFY(runOnce());
    QCOMPARE(check.failures(), 9);
    m_messages->clear();
    QVERIFY(!runOnce());
    QCOMPARE(m_messages->texts(), (QStringList{kPracticeLater, kGiveUp}));
    QCOMPARE(m_messages->shown().last().title, QStringLiteral("エラー"));
}

void tst_SettingsRules::titlesOfStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("all sixteen") << "0123456789ABCDEF" << PassLogFormatRules::catalogueTitles();
    QTest::newRow("own order, repeats, unknown characters")
        << "F0x0a"
        << QStringList{QStringLiteral("計測時間(秒)"), QStringLiteral("連番"),
                       QStringLiteral("連番")};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_SettingsRules::titlesOfStyle()
{
    QFETCH(QString, style);
    QFETCH(QStringList, titles);
    QCOMPARE(PassLogFormatRules::titlesOf(style), titles);
}

void tst_SettingsRules::addAndRemove()
{
    QStringList chosen{QStringLiteral("連番")};
    QVERIFY(!PassLogFormatRules::addTitle(chosen, QStringLiteral("連番")));
    QVERIFY(PassLogFormatRules::addTitle(chosen, QStringLiteral("日付")));
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(PassLogFormatRules::rowAfterRemove(1, 3), 1);
    QCOMPARE(PassLogFormatRules::rowAfterRemove(3, 3), 2);
    QCOMPARE(PassLogFormatRules::rowAfterRemove(0, 0), -1);
}

void tst_SettingsRules::confirmCases_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("titleLine"); // empty text: no block expected

    QStringList noTime = PassLogFormatRules::catalogueTitles();
    noTime.removeAll(QStringLiteral("時間"));
    QString noTimeLine;
    for (const QString& t : noTime)
        noTimeLine += t + u',';
    QTest::newRow("removing the time column")
        << "0123456789ABCDEF" << noTime << "013456789ABCDEF" << noTimeLine;
    QTest::newRow("no change") << "0123456789ABCDEF" << PassLogFormatRules::catalogueTitles()
                               << "0123456789ABCDEF" << QString();
    QTest::newRow("catalogue order, not list order")
        << "F0"
        << QStringList{QStringLiteral("計測時間(秒)"), QStringLiteral("連番"),
                       QStringLiteral("日付")}
        << "01F" << QStringLiteral("連番,日付,計測時間(秒),");
    QTest::newRow("emptied list") << "0123456789ABCDEF" << QStringList{} << ""
                                  << "";
    QTest::newRow("F before 0 confirmed unchanged")
        << "F0" << QStringList{QStringLiteral("計測時間(秒)"), QStringLiteral("連番")} << "0F"
        << QStringLiteral("連番,計測時間(秒),");
}

void tst_SettingsRules::confirmCases()
{
    QFETCH(QString, before);
    QFETCH(QStringList, chosen);
    QFETCH(QString, after);
    QFETCH(QString, titleLine);

    m_settings->setPassLogFormat(before);
    m_settings->setPassLogEnabled(false); // the block is written even while the pass log is off
    const bool changes = before != after;
    const auto outcome = PassLogFormatRules::confirm(*m_settings, chosen, kNow);

    QCOMPARE(outcome, changes ? PassLogFormatRules::Outcome::Changed
                              : PassLogFormatRules::Outcome::Unchanged);
    QCOMPARE(m_settings->passLogFormat(), after);
    // Stored in every case.
    const QByteArray ini = m_tree->read(QStringLiteral("app/pelko.ini"));
    QVERIFY2(ini.contains(QByteArray("Style=" + after.toLatin1() + "\r\n")), ini.constData());
    if (!changes) {
        QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("sub/pksub.log"))));
        return;
    }
    const QByteArray expected =
        Cp932::encode(QString(QStringLiteral("\r\n+++ログ形式変更+++05-20-2005 14:03:12+++\r\n") +
                              titleLine + QStringLiteral("\r\n---以下ログ---\r\n\r\n")))
            .bytes;
    QCOMPARE(subLog(), expected);
}

void tst_SettingsRules::blockFailureKeepsSetting()
{
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("no/such/folder")));
    const auto outcome =
        PassLogFormatRules::confirm(*m_settings, QStringList{QStringLiteral("連番")}, kNow);
    QCOMPARE(outcome, PassLogFormatRules::Outcome::BlockNotWritten);
    QCOMPARE(m_settings->passLogFormat(), QStringLiteral("0"));
    QVERIFY(m_tree->read(QStringLiteral("app/pelko.ini")).contains("Style=0\r\n"));
    QVERIFY(
        PassLogFormatRules::blockFailureText(*m_settings).contains(QStringLiteral("pksub.log")));
}

QTEST_GUILESS_MAIN(tst_SettingsRules)
#include "tst_SettingsRules.moc"
