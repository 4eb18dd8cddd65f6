#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "problems/ProblemFile.h"
#include "problems/ProblemPicker.h"
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

template <typename T> QString messageOf(const Expected<T>& result)
{
    return result ? QStringLiteral("(no error)") : result.error().message();
}

} // namespace

class tst_Problem : public QObject
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
    void utf8CharacterShiftJisLacks();
    void letterCaseIgnored();
    void badFiles_data();
    void badFiles();
    void unopenableFile();

private:
    MessageRecorder* m_messages = nullptr;
};

void tst_Problem::init()
{
    m_messages = new MessageRecorder;
}

void tst_Problem::cleanup()
{
    delete m_messages;
    m_messages = nullptr;
}

void tst_Problem::sequenceAndSelection_data()
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

void tst_Problem::sequenceAndSelection()
{
    QFETCH(QString, mode);
    QFETCH(QString, previous);
    QFETCH(QString, expected);
    TempTree tree;
    writeThree(tree);

    Problem problem;
    QString prev = previous;
    QCOMPARE(problem.loadFrom(tree.path(), prev, mode), Problem::Loaded);
    QCOMPARE(problem.fileName(), expected);
    QCOMPARE(problem.line(1).text(), expected); // that file's text, not just its name
    QCOMPARE(prev, previous);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_Problem::ordinalOrder()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat.9"), QStringLiteral("九"));
    tree.writeCp932(QStringLiteral("jpn_dat.10"), QStringLiteral("十"));
    QCOMPARE(Problem::problemFiles(tree.path()),
             (QStringList{QStringLiteral("jpn_dat.10"), QStringLiteral("jpn_dat.9")}));

    Problem first;
    QCOMPARE(first.loadFrom(tree.path(), QString(), QStringLiteral("SEQUENCE")), Problem::Loaded);
    QCOMPARE(first.fileName(), QStringLiteral("jpn_dat.10"));
    Problem second;
    QCOMPARE(second.loadFrom(tree.path(), first.fileName(), QStringLiteral("SEQUENCE")),
             Problem::Loaded);
    QCOMPARE(second.fileName(), QStringLiteral("jpn_dat.9"));
}

void tst_Problem::selectUnknownNameRaises()
{
    TempTree tree;
    writeThree(tree);
    for (const QString& name : {QStringLiteral("jpn_dat.004"), QStringLiteral("JPN_DAT.002")}) {
        Problem problem;
        const auto loaded = problem.loadFrom(tree.path(), name, QStringLiteral("SELECT"));
        QCOMPARE(messageOf(loaded), QStringLiteral("ファイル指定に失敗しました"));
        QCOMPARE(problem.count(), 0);
    }
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_Problem::randomPick_data()
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

void tst_Problem::randomPick()
{
    QFETCH(QString, mode);
    QFETCH(int, files);
    QFETCH(double, draw);
    QFETCH(int, expectedIndex);
    TempTree tree;
    for (int i = 1; i <= files; ++i)
        tree.writeCp932(QStringLiteral("jpn_dat.00") + QString::number(i), QStringLiteral("本"));

    Problem problem;
    problem.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(19, 52, 50)); });
    QList<quint32> seeds;
    problem.setRandomSource([&](quint32 seed) {
        seeds.append(seed);
        return draw;
    });
    QCOMPARE(problem.loadFrom(tree.path(), QStringLiteral("jpn_dat.001"), mode), Problem::Loaded);
    QCOMPARE(problem.fileName(), QStringLiteral("jpn_dat.00") + QString::number(expectedIndex + 1));
    QCOMPARE(seeds, QList<quint32>{50 + 52 + 19 + 7});
}

void tst_Problem::defaultDrawStaysBelowOne()
{
    QCOMPARE(ProblemPicker::defaultDraw(128), ProblemPicker::defaultDraw(128));
    for (quint32 seed = 0; seed <= 200; ++seed) {
        const double draw = ProblemPicker::defaultDraw(seed);
        QVERIFY2(draw >= 0.0 && draw < 1.0, qPrintable(QString::number(seed)));
    }
}

void tst_Problem::noProblemFile()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat"), QStringLiteral("no extension"));
    tree.writeCp932(QStringLiteral("xjpn_dat.001"), QStringLiteral("other stem"));
    tree.mkdir(QStringLiteral("jpn_dat.002")); // a folder, not a file

    Problem problem;
    QCOMPARE(problem.loadFrom(tree.path(), QString(), QStringLiteral("SEQUENCE")),
             Problem::NoProblemFile);
    QCOMPARE(m_messages->texts(), QStringList{NoFileMessage});
    QCOMPARE(m_messages->shown().at(0).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(m_messages->shown().at(0).buttons, MessageButtons::Ok);
    QVERIFY(Problem::problemFiles(tree.path())->isEmpty());
    QVERIFY(Problem::problemFiles(tree.file(QStringLiteral("missing")))->isEmpty());
}

void tst_Problem::badFolderCancelled()
{
    TempTree tree;
    const QString missing = tree.file(QStringLiteral("missing"));
    int chooserCalls = 0;
    Problem problem;
    problem.setFolderChooser([&] {
        ++chooserCalls;
        return QString(); // cancelled
    });
    QCOMPARE(problem.loadFrom(missing, QString(), QStringLiteral("KENTEI")), Problem::NoFolder);
    QCOMPARE(m_messages->texts(), QStringList{PathMessage});
    QCOMPARE(m_messages->shown().at(0).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(chooserCalls, 1);

    // The chooser was offered once for this object: no message, no chooser now.
    QCOMPARE(problem.loadFrom(missing, QString(), QStringLiteral("KENTEI")), Problem::NoFolder);
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(chooserCalls, 1);

    // The retry flag is per object; and without a chooser it counts as cancelled.
    Problem other;
    QCOMPARE(other.loadFrom(missing, QString(), QStringLiteral("KENTEI")), Problem::NoFolder);
    QCOMPARE(m_messages->shown().size(), 2);
}

void tst_Problem::chooserGivesFolder()
{
    TempTree tree;
    writeThree(tree);
    Problem problem;
    problem.setFolderChooser([&] { return tree.path(); });
    QCOMPARE(problem.loadFrom(tree.file(QStringLiteral("missing")), QString(),
                              QStringLiteral("SEQUENCE")),
             Problem::Loaded);
    QCOMPARE(problem.fileName(), QStringLiteral("jpn_dat.001"));
    QCOMPARE(m_messages->texts(), QStringList{PathMessage});
}

void tst_Problem::chooserGivesBadFolderAgain()
{
    TempTree tree;
    int chooserCalls = 0;
    Problem problem;
    problem.setFolderChooser([&] {
        ++chooserCalls;
        return tree.file(QStringLiteral("also missing"));
    });
    QCOMPARE(problem.loadFrom(tree.file(QStringLiteral("missing")), QString(),
                              QStringLiteral("SEQUENCE")),
             Problem::NoFolder);
    QCOMPARE(chooserCalls, 1);
    QCOMPARE(m_messages->shown().size(), 1);
}

void tst_Problem::fileWithoutCharacters()
{
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.001"), QByteArray("\r\n\r\n\r\n"));
    tree.write(QStringLiteral("jpn_dat.002"), QByteArray());

    Problem lines;
    QCOMPARE(lines.loadFrom(tree.path(), QString(), QStringLiteral("SEQUENCE")),
             Problem::NoCharacters);
    QCOMPARE(lines.count(), 3);
    QCOMPARE(lines.totalChars(), 0);
    QCOMPARE(lines.line(3).count(), 0);

    Problem empty;
    QCOMPARE(empty.loadFrom(tree.path(), QStringLiteral("jpn_dat.002"), QStringLiteral("SELECT")),
             Problem::NoCharacters);
    QCOMPARE(empty.count(), 0);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_Problem::compositionCounts()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("jpn_dat.001"),
                    QStringLiteral("あア１Ａａ、ｱA漢\r\n\r\n　ー々 \t∈ヴヶ"));
    Problem problem;
    QCOMPARE(problem.loadFrom(tree.path(), QString(), QStringLiteral("SEQUENCE")), Problem::Loaded);
    QCOMPARE(problem.count(), 3);
    QCOMPARE(problem.line(1).text(), QStringLiteral("あア１Ａａ、ｱA漢"));
    QCOMPARE(problem.kanaChars(), 2 + 2);
    QCOMPARE(problem.alphanumericChars(), 4 + 3);
    QCOMPARE(problem.halfWidthChars(), 2 + 2);
    QCOMPARE(problem.kanjiOrSymbolChars(), 1 + 1);
    QCOMPARE(problem.totalChars(), 9 + 8);
    QCOMPARE(problem.kanaChars() + problem.alphanumericChars() + problem.halfWidthChars() +
                 problem.kanjiOrSymbolChars(),
             int(problem.totalChars()));

    QStringList walked;
    for (const ProblemLine& line : problem)
        walked.append(line.text());
    QCOMPARE(walked.size(), 3);
    QCOMPARE(walked.at(1), QString());
}

void tst_Problem::lineEnds_data()
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

void tst_Problem::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.001"), bytes);
    QCOMPARE(ProblemFile::readLines(tree.file(QStringLiteral("jpn_dat.001")),
                                    QStringLiteral("jpn_dat.001"))
                 .valueOr({QStringLiteral("(error)")}),
             lines);
}

void tst_Problem::header()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("long"),
                    QStringLiteral("一二三四五六七八九十壱弐参肆伍陸漆捌玖拾百千\r\n次"));
    tree.writeCp932(QStringLiteral("short"), QStringLiteral("短い題\r\n本文"));
    tree.write(QStringLiteral("empty"), QByteArray());
    tree.write(QStringLiteral("bad"), QByteArray("ok\x80\xff"));
    // Valid Shift-JIS by chance on its first line: the whole file tells.
    tree.write(QStringLiteral("utf8"), "\xEF\xBB\xBF" + QStringLiteral("秋の\n日の").toUtf8());

    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("long"))),
             QStringLiteral("一二三四五六七八九十壱弐参肆伍陸漆捌玖拾"));
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("short"))), QStringLiteral("短い題"));
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("empty"))), QString());
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("missing"))), QString());
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("bad"))), QStringLiteral("ok"));
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("utf8"))), QStringLiteral("秋の"));
}

void tst_Problem::utf8CharacterShiftJisLacks()
{
    TempTree tree;
    const QByteArray bytes = QStringLiteral("題\n😀\n").toUtf8();
    tree.write(QStringLiteral("jpn_dat.001"), bytes);
    const QString path = tree.file(QStringLiteral("jpn_dat.001"));
    const QString lacks = QStringLiteral("問題ファイル jpn_dat.001 の 2 行目の「😀」は Shift-JIS にない文字です。");
    QVERIFY(messageOf(ProblemFile::readLines(path, QStringLiteral("jpn_dat.001"))).contains(lacks));
    QVERIFY(ProblemFile::convertFromUtf8(path).startsWith(lacks));
    QCOMPARE(tree.read(QStringLiteral("jpn_dat.001")), bytes);
    QVERIFY(!QFile::exists(tree.file(QStringLiteral("utf8-jpn_dat.001"))));
}

void tst_Problem::letterCaseIgnored()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("Data/JPN_DAT.003"), QStringLiteral("大文字"));
    tree.writeCp932(QStringLiteral("Data/Jpn_Dat.001"), QStringLiteral("混在"));

    QCOMPARE(Problem::problemFiles(tree.file(QStringLiteral("data"))),
             (QStringList{QStringLiteral("JPN_DAT.003"), QStringLiteral("Jpn_Dat.001")}));
    Problem problem;
    QCOMPARE(
        problem.loadFrom(tree.file(QStringLiteral("DATA/")), QString(), QStringLiteral("SEQUENCE")),
        Problem::Loaded);
    QCOMPARE(problem.fileName(), QStringLiteral("JPN_DAT.003"));
    QCOMPARE(problem.line(1).text(), QStringLiteral("大文字"));
    QCOMPARE(Problem::fileHeader(tree.file(QStringLiteral("data/jpn_dat.001"))),
             QStringLiteral("混在"));
}

void tst_Problem::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Error::Code>("code");
    QTest::addColumn<QString>("description");

    const QByteArray line = QByteArray("\x82\xa0\r\n"); // あ
    auto unreadable = [](int number) -> QString {
        return QStringLiteral("問題ファイル jpn_dat.003 の ") + QString::number(number) +
               QStringLiteral(" 行目に読み込めない文字があります。Shift-JIS（CP932）にないバイト"
                              "列です。エディタで Shift-JIS を選んで保存し直してください。");
    };
    QTest::newRow("invalid byte on line 4")
        << (line + line + line + QByteArray("ab\x80\xa0\r\n") + line) << Error::Code::InvalidText
        << unreadable(4);
    QTest::newRow("cut double-byte at the end")
        << QByteArray("ab\r\n\x82") << Error::Code::InvalidText << unreadable(2);

    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 151 + 7) & 0xff));
    QTest::newRow("binary junk") << junk << Error::Code::InvalidText << unreadable(1);

    QTest::newRow("10 MB single line")
        << QByteArray(10 * 1024 * 1024, 'a') << Error::Code::Overflow
        << QStringLiteral("問題ファイル jpn_dat.003 の 1 行目の文字数が多すぎます（32767 まで）。");
    QTest::newRow("10 MB line with a bad byte")
        << (QByteArray("ok\r\n\x81\x7f") + QByteArray(10 * 1024 * 1024, 'a'))
        << Error::Code::InvalidText << unreadable(2);

    // The longest line there may be ends inside a double-byte character.
    const QByteArray longest = 'a' + QByteArray("\x82\xa0").repeated(32766);
    QTest::newRow("bad character across the longest line's end")
        << (longest + QByteArray("\x81\x7f") + "aaaa") << Error::Code::InvalidText << unreadable(1);
    QTest::newRow("good character across the longest line's end")
        << (longest + QByteArray("\x82\xa0") + "aaaa") << Error::Code::Overflow
        << QStringLiteral("問題ファイル jpn_dat.003 の 1 行目の文字数が多すぎます（32767 まで）。");

    QByteArray fortyThousand;
    for (int i = 0; i < 40; ++i)
        fortyThousand += QByteArray(1000, 'a') + "\r\n";
    QTest::newRow("40,000 characters")
        << fortyThousand << Error::Code::Overflow
        << QStringLiteral("問題ファイル jpn_dat.003 の文字数が多すぎます（32767 まで）。");
    QTest::newRow("32,768 lines")
        << QByteArray(32768 * 2, '\n').replace("\n\n", "\r\n") << Error::Code::Overflow
        << QStringLiteral("問題ファイル jpn_dat.003 の行数が多すぎます（32767 まで）。");
}

void tst_Problem::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Error::Code, code);
    QFETCH(QString, description);
    TempTree tree;
    tree.write(QStringLiteral("jpn_dat.003"), bytes);

    Problem problem;
    const auto loaded = problem.loadFrom(tree.path(), QString(), QStringLiteral("SEQUENCE"));
    QVERIFY2(!loaded, "no error");
    QCOMPARE(loaded.error().message(), description);
    QCOMPARE(loaded.error().code(), code);
    QCOMPARE(problem.count(), 0);
    QCOMPARE(problem.totalChars(), 0);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_Problem::unopenableFile()
{
    TempTree tree;
    tree.mkdir(QStringLiteral("folder"));
    const QString name = QStringLiteral("jpn_dat.001");
    QCOMPARE(messageOf(ProblemFile::readLines(tree.file(name), name)),
             QStringLiteral("問題ファイル jpn_dat.001 が見つかりません。"));
    QCOMPARE(messageOf(ProblemFile::readLines(tree.file(QStringLiteral("folder")), name)),
             QStringLiteral("問題ファイル jpn_dat.001 を開けません（フォルダです）。"));
}

QTEST_GUILESS_MAIN(tst_Problem)
#include "tst_Problem.moc"
