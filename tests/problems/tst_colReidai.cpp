#include "app/modPelko.h"
#include "common/PelkoError.h"
#include "platform/MessageService.h"
#include "problems/ReidaiFile.h"
#include "problems/ReidaiPick.h"
#include "problems/colReidai.h"
#include "support/TempTree.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

const QString ErrorTitle = QStringLiteral("エラー");
const QString NoFileMessage = QStringLiteral(
    "指定したディレクトリ内にデータファイルが見つかりません。\r確認後もう一度起動して下さい");
const QString PathMessage =
    QStringLiteral("パスの設定が不正です。データが入っているパスを指定して下さい。");

// Three problems whose first lines name them.
void writeThree(const TempTree& tree)
{
    for (const char* n : {"001", "002", "003"}) {
        const QString name = QStringLiteral("jpn_dat.") + QString::fromLatin1(n);
        tree.writeCp932(name, name + QStringLiteral("\r\n本文\r\n"));
    }
}

QString descriptionOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PelkoError& e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}

} // namespace

class tst_colReidai : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sequenceAndSelection_data();
    void sequenceAndSelection();
    void ordinalOrder();
    void selectUnknownNameRaises();
    void randomPick_data();
    void randomPick();
    void defaultDrawStaysBelowOne();
    void noProblemFile();
    void badFolderCancelled();
    void chooserGivesFolder();
    void chooserGivesBadFolderAgain();
    void fileWithoutCharacters();
    void compositionCounts();
    void lineEnds_data();
    void lineEnds();
    void header();
    void letterCaseIgnored();
    void badFiles_data();
    void badFiles();
    void unopenableFile();

private:
    MessageRecorder* m_messages = nullptr;
};

void tst_colReidai::init()
{
    m_messages = new MessageRecorder;
    colReidai::setFolderChooser({});
    DirPath.clear();
}

void tst_colReidai::cleanup()
{
    delete m_messages;
    m_messages = nullptr;
    colReidai::setFolderChooser({});
}

void tst_colReidai::sequenceAndSelection_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sequence, no previous") << "SEQUENCE"
                                           << ""
                                           << "jpn_dat.001";
    QTest::newRow("sequence after 001") << "SEQUENCE"
                                        << "jpn_dat.001"
                                        << "jpn_dat.002";
    QTest::newRow("sequence wraps after 003") << "SEQUENCE"
                                              << "jpn_dat.003"
                                              << "jpn_dat.001";
    QTest::newRow("sequence, previous not listed") << "SEQUENCE"
                                                   << "jpn_dat.0015"
                                                   << "jpn_dat.002";
    QTest::newRow("sequence in lower case") << "sequence"
                                            << "jpn_dat.002"
                                            << "jpn_dat.003";
    QTest::newRow("select, empty name") << "SELECT"
                                        << ""
                                        << "jpn_dat.001";
    QTest::newRow("select, blank name") << "SELECT"
                                        << "   "
                                        << "jpn_dat.001";
    QTest::newRow("select 002") << "SELECT"
                                << "jpn_dat.002"
                                << "jpn_dat.002";
    QTest::newRow("select in lower case") << "select"
                                          << "jpn_dat.003"
                                          << "jpn_dat.003";
}

void tst_colReidai::sequenceAndSelection()
{
    QFETCH(QString, mode);
    QFETCH(QString, previous);
    QFETCH(QString, expected);
    TempTree tree;
    writeThree(tree);

    colReidai reidai;
    QString prev = previous;
    QCOMPARE(reidai.LoadReidai(tree.path(), prev, mode), colReidai::Loaded);
    QCOMPARE(reidai.Filename(), expected);
    QCOMPARE(reidai.Item(1).LineData(), expected); // that file's text, not just its name
    QCOMPARE(prev, previous);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_colReidai::ordinalOrder()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat.9"), QStringLiteral("九"));
    tree.writeCp932(QStringLiteral("jpn_dat.10"), QStringLiteral("十"));
    QCOMPARE(colReidai::GetReidaiList(tree.path()),
             (QStringList{QStringLiteral("jpn_dat.10"), QStringLiteral("jpn_dat.9")}));

    colReidai first;
    QCOMPARE(first.LoadReidai(tree.path(), QString(), QStringLiteral("SEQUENCE")), 0);
    QCOMPARE(first.Filename(), QStringLiteral("jpn_dat.10"));
    colReidai second;
    QCOMPARE(second.LoadReidai(tree.path(), first.Filename(), QStringLiteral("SEQUENCE")), 0);
    QCOMPARE(second.Filename(), QStringLiteral("jpn_dat.9"));
}

void tst_colReidai::selectUnknownNameRaises()
{
    TempTree tree;
    writeThree(tree);
    for (const QString& name : {QStringLiteral("jpn_dat.004"), QStringLiteral("JPN_DAT.002")}) {
        colReidai reidai;
        QCOMPARE(
            descriptionOf([&] { reidai.LoadReidai(tree.path(), name, QStringLiteral("SELECT")); }),
            QStringLiteral("ファイル指定に失敗しました"));
        QCOMPARE(reidai.Count(), 0);
    }
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_colReidai::randomPick_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("files");
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("expectedIndex");

    // The previous name is jpn_dat.001, so a sequence would give index 1.
    QTest::newRow("KENTEI, middle") << "KENTEI" << 3 << 0.5 << 1;
    QTest::newRow("KENTEI, half rounds down to even") << "KENTEI" << 3 << 0.25 << 0;
    QTest::newRow("KENTEI, half rounds up to even") << "KENTEI" << 3 << 0.75 << 2;
    QTest::newRow("lower-case kentei is random") << "kentei" << 3 << 0.9 << 2;
    QTest::newRow("RANDOM") << "RANDOM" << 4 << 0.5 << 2;
    QTest::newRow("unknown mode is random") << "ANY" << 3 << 0.0 << 0;
    QTest::newRow("empty mode is random") << "" << 3 << 0.99 << 2;
    QTest::newRow("one file") << "KENTEI" << 1 << 0.99 << 0;
}

void tst_colReidai::randomPick()
{
    QFETCH(QString, mode);
    QFETCH(int, files);
    QFETCH(double, draw);
    QFETCH(int, expectedIndex);
    TempTree tree;
    for (int i = 1; i <= files; ++i)
        tree.writeCp932(QStringLiteral("jpn_dat.00") + QString::number(i), QStringLiteral("本"));

    colReidai reidai;
    reidai.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(19, 52, 50)); });
    QList<quint32> seeds;
    reidai.setRandomSource([&](quint32 seed) {
        seeds.append(seed);
        return draw;
    });
    QCOMPARE(reidai.LoadReidai(tree.path(), QStringLiteral("jpn_dat.001"), mode), 0);
    QCOMPARE(reidai.Filename(), QStringLiteral("jpn_dat.00") + QString::number(expectedIndex + 1));
    QCOMPARE(seeds, QList<quint32>{50 + 52 + 19 + 7});
}

void tst_colReidai::defaultDrawStaysBelowOne()
{
    QCOMPARE(ReidaiPick::defaultDraw(128), ReidaiPick::defaultDraw(128));
    for (quint32 seed = 0; seed <= 200; ++seed) {
        const double r = ReidaiPick::defaultDraw(seed);
        QVERIFY2(r >= 0.0 && r < 1.0, qPrintable(QString::number(seed)));
    }
}

void tst_colReidai::noProblemFile()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat"), QStringLiteral("no extension"));
    tree.writeCp932(QStringLiteral("xjpn_dat.001"), QStringLiteral("other stem"));
    tree.mkdir(QStringLiteral("jpn_dat.002")); // a folder, not a file

    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(tree.path(), QString(), QStringLiteral("SEQUENCE")),
             colReidai::NoProblemFile);
    QCOMPARE(m_messages->texts(), QStringList{NoFileMessage});
    QCOMPARE(m_messages->shown().at(0).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(0).icon, MsgIcon::Critical);
    QCOMPARE(m_messages->shown().at(0).buttons, MsgButtons::Ok);
    QVERIFY(colReidai::GetReidaiList(tree.path()).isEmpty());
    QVERIFY(colReidai::GetReidaiList(tree.file(QStringLiteral("missing"))).isEmpty());
}

void tst_colReidai::badFolderCancelled()
{
    TempTree tree;
    const QString missing = tree.file(QStringLiteral("missing"));
    int chooserCalls = 0;
    QString dirPathSeen = QStringLiteral("(not called)");
    colReidai::setFolderChooser([&] {
        ++chooserCalls;
        dirPathSeen = DirPath;
    });
    DirPath = QStringLiteral("left over");

    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(missing, QString(), QStringLiteral("KENTEI")), colReidai::NoFolder);
    QCOMPARE(m_messages->texts(), QStringList{PathMessage});
    QCOMPARE(m_messages->shown().at(0).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(0).icon, MsgIcon::Critical);
    QCOMPARE(chooserCalls, 1);
    QCOMPARE(dirPathSeen, QString()); // emptied before the chooser opens

    // The chooser was offered once for this object: no message, no chooser now.
    QCOMPARE(reidai.LoadReidai(missing, QString(), QStringLiteral("KENTEI")), colReidai::NoFolder);
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(chooserCalls, 1);

    // The retry flag is per object; and without a chooser it counts as cancelled.
    colReidai::setFolderChooser({});
    colReidai other;
    QCOMPARE(other.LoadReidai(missing, QString(), QStringLiteral("KENTEI")), colReidai::NoFolder);
    QCOMPARE(m_messages->shown().size(), 2);
}

void tst_colReidai::chooserGivesFolder()
{
    TempTree tree;
    writeThree(tree);
    colReidai::setFolderChooser([&] { DirPath = tree.path(); });

    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(tree.file(QStringLiteral("missing")), QString(),
                               QStringLiteral("SEQUENCE")),
             colReidai::Loaded);
    QCOMPARE(reidai.Filename(), QStringLiteral("jpn_dat.001"));
    QCOMPARE(m_messages->texts(), QStringList{PathMessage});
}

void tst_colReidai::chooserGivesBadFolderAgain()
{
    TempTree tree;
    int chooserCalls = 0;
    colReidai::setFolderChooser([&] {
        ++chooserCalls;
        DirPath = tree.file(QStringLiteral("also missing"));
    });
    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(tree.file(QStringLiteral("missing")), QString(),
                               QStringLiteral("SEQUENCE")),
             colReidai::NoFolder);
    QCOMPARE(chooserCalls, 1);
    QCOMPARE(m_messages->shown().size(), 1);
}

void tst_colReidai::fileWithoutCharacters()
{
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.001"), QByteArray("\r\n\r\n\r\n"));
    tree.write(QStringLiteral("jpn_dat.002"), QByteArray());

    colReidai lines;
    QCOMPARE(lines.LoadReidai(tree.path(), QString(), QStringLiteral("SEQUENCE")),
             colReidai::NoCharacters);
    QCOMPARE(lines.Count(), 3);
    QCOMPARE(lines.SouMozisu(), 0);
    QCOMPARE(lines.Item(QStringLiteral(" 3")).Count(), 0);

    colReidai empty;
    QCOMPARE(empty.LoadReidai(tree.path(), QStringLiteral("jpn_dat.002"), QStringLiteral("SELECT")),
             colReidai::NoCharacters);
    QCOMPARE(empty.Count(), 0);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_colReidai::compositionCounts()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat.001"),
                    QStringLiteral("あア１Ａａ、ｱA漢\r\n\r\n　ー々 \t∈ヴヶ"));
    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(tree.path(), QString(), QStringLiteral("SEQUENCE")), 0);
    QCOMPARE(reidai.Count(), 3);
    QCOMPARE(reidai.Item(QStringLiteral(" 1")).LineData(), QStringLiteral("あア１Ａａ、ｱA漢"));
    QCOMPARE(reidai.Kana(), 2 + 2);
    QCOMPARE(reidai.Eisu(), 4 + 3);
    QCOMPARE(reidai.Hankaku(), 2 + 2);
    QCOMPARE(reidai.KanziKigo(), 1 + 1);
    QCOMPARE(reidai.SouMozisu(), 9 + 8);
    QCOMPARE(reidai.Kana() + reidai.Eisu() + reidai.Hankaku() + reidai.KanziKigo(),
             int(reidai.SouMozisu()));

    QStringList walked;
    for (const colReidaiLine& line : reidai)
        walked.append(line.LineData());
    QCOMPARE(walked.size(), 3);
    QCOMPARE(walked.at(1), QString());
}

void tst_colReidai::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF, final end")
        << QByteArray("ab\r\ncd\r\n") << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("last line unterminated")
        << QByteArray("ab\r\ncd") << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("CR alone") << QByteArray("ab\rcd\r") << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("LF alone") << QByteArray("ab\ncd\n") << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("LF CR is two ends")
        << QByteArray("ab\n\rcd") << QStringList{u"ab"_s, u""_s, u"cd"_s};
    QTest::newRow("empty lines kept")
        << QByteArray("\r\n\r\nx") << QStringList{u""_s, u""_s, u"x"_s};
    QTest::newRow("double-byte with trail 0x5C")
        << QByteArray("\x95\x5c\r\n") << QStringList{QStringLiteral("表")};
}

void tst_colReidai::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.001"), bytes);
    QCOMPARE(ReidaiFile::readLines(tree.file(QStringLiteral("jpn_dat.001")),
                                   QStringLiteral("jpn_dat.001")),
             lines);
}

void tst_colReidai::header()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("long"),
                    QStringLiteral("一二三四五六七八九十壱弐参肆伍陸漆捌玖拾百千\r\n次"));
    tree.writeCp932(QStringLiteral("short"), QStringLiteral("短い題\r\n本文"));
    tree.write(QStringLiteral("empty"), QByteArray());
    tree.write(QStringLiteral("bad"), QByteArray("ok\x80\xff"));

    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("long"))),
             QStringLiteral("一二三四五六七八九十壱弐参肆伍陸漆捌玖拾"));
    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("short"))), QStringLiteral("短い題"));
    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("empty"))), QString());
    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("missing"))), QString());
    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("bad"))), QStringLiteral("ok"));
}

void tst_colReidai::letterCaseIgnored()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("Data/JPN_DAT.003"), QStringLiteral("大文字"));
    tree.writeCp932(QStringLiteral("Data/Jpn_Dat.001"), QStringLiteral("混在"));

    QCOMPARE(colReidai::GetReidaiList(tree.file(QStringLiteral("data"))),
             (QStringList{QStringLiteral("JPN_DAT.003"), QStringLiteral("Jpn_Dat.001")}));
    colReidai reidai;
    QCOMPARE(reidai.LoadReidai(tree.file(QStringLiteral("DATA/")), QString(),
                               QStringLiteral("SEQUENCE")),
             0);
    QCOMPARE(reidai.Filename(), QStringLiteral("JPN_DAT.003"));
    QCOMPARE(reidai.Item(1).LineData(), QStringLiteral("大文字"));
    QCOMPARE(colReidai::GetHeader(tree.file(QStringLiteral("data/jpn_dat.001"))),
             QStringLiteral("混在"));
}

void tst_colReidai::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");

    const QByteArray line = QByteArray("\x82\xa0\r\n"); // あ
    QTest::newRow("invalid byte on line 4")
        << (line + line + line + QByteArray("ab\x80\xa0\r\n") + line) << ReidaiFile::InvalidText
        << QStringLiteral("問題ファイル jpn_dat.003 の 4 行目に読み込めない文字があります。");
    QTest::newRow("cut double-byte at the end")
        << QByteArray("ab\r\n\x82") << ReidaiFile::InvalidText
        << QStringLiteral("問題ファイル jpn_dat.003 の 2 行目に読み込めない文字があります。");

    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 151 + 7) & 0xff));
    QTest::newRow("binary junk")
        << junk << ReidaiFile::InvalidText
        << QStringLiteral("問題ファイル jpn_dat.003 の 1 行目に読み込めない文字があります。");

    QTest::newRow("10 MB single line")
        << QByteArray(10 * 1024 * 1024, 'a') << int(PelkoError::Overflow)
        << QStringLiteral("問題ファイル jpn_dat.003 の 1 行目の文字数が多すぎます（32767 まで）。");
    QTest::newRow("10 MB line with a bad byte")
        << (QByteArray("ok\r\n\x81\x7f") + QByteArray(10 * 1024 * 1024, 'a'))
        << ReidaiFile::InvalidText
        << QStringLiteral("問題ファイル jpn_dat.003 の 2 行目に読み込めない文字があります。");

    QByteArray fortyThousand;
    for (int i = 0; i < 40; ++i)
        fortyThousand += QByteArray(1000, 'a') + "\r\n";
    QTest::newRow("40,000 characters")
        << fortyThousand << int(PelkoError::Overflow)
        << QStringLiteral("問題ファイル jpn_dat.003 の文字数が多すぎます（32767 まで）。");
    QTest::newRow("32,768 lines")
        << QByteArray(32768 * 2, '\n').replace("\n\n", "\r\n") << int(PelkoError::Overflow)
        << QStringLiteral("問題ファイル jpn_dat.003 の行数が多すぎます（32767 まで）。");
}

void tst_colReidai::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, number);
    QFETCH(QString, description);
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.003"), bytes);

    colReidai reidai;
    try {
        reidai.LoadReidai(tree.path(), QString(), QStringLiteral("SEQUENCE"));
        QFAIL("no error raised");
    } catch (const PelkoError& e) {
        QCOMPARE(e.description(), description);
        QCOMPARE(e.number(), number);
    }
    QCOMPARE(reidai.Count(), 0);
    QCOMPARE(reidai.SouMozisu(), 0);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_colReidai::unopenableFile()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("folder"));
    const QString name = QStringLiteral("jpn_dat.001");
    QCOMPARE(descriptionOf([&] { ReidaiFile::readLines(tree.file(name), name); }),
             QStringLiteral("問題ファイル jpn_dat.001 が見つかりません。"));
    QCOMPARE(
        descriptionOf([&] { ReidaiFile::readLines(tree.file(QStringLiteral("folder")), name); }),
        QStringLiteral("問題ファイル jpn_dat.001 を開けません。"));
}

QTEST_GUILESS_MAIN(tst_colReidai)
#include "tst_colReidai.moc"
