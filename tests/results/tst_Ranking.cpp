#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "common/NumericText.h"
#include "results/LogRecordNumber.h"
#include "results/Ranking.h"
#include "results/RankingReader.h"
#include "results/SeparatorScan.h"
#include "support/TempTree.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace
{

QByteArray record(const QByteArray& id, const QByteArray& speed, const QByteArray& accuracy,
                  const QByteArray& name = "name", const QByteArray& time = "180")
{
    return "1,\"05-20-2005\",\"14:03:12\",\"" + id + "\",\"" + name + "\",\"PC\",\"u\",\"f\"," +
           speed + ',' + accuracy + ",3,257,260,35,12," + time + "\r\n";
}

// "id speed accuracy" of each shown row, "-" for a blank one, joined by "|".
class TextBoard : public RankingBoard
{
public:
    RankRowText rows[10];
    int calls = 0;
    QString failure;
    void setFailure(const QString& text) override { failure = text; }
    void setRow(int row, const RankRowText& texts) override
    {
        rows[row] = texts;
        ++calls;
    }
    QString summary() const
    {
        QStringList parts;
        for (const RankRowText& r : rows)
            parts << (r.userId.isEmpty() && r.speed.isEmpty()
                          ? QStringLiteral("-")
                          : r.userId + u' ' + r.speed + u' ' + r.accuracy);
        while (!parts.isEmpty() && parts.last() == u"-")
            parts.removeLast();
        return parts.join(u'|');
    }
};

QString rank(const TempTree& tree, const QByteArray& log, bool mode)
{
    tree.write(QStringLiteral("Pelko.log"), log);
    Ranking ranking;
    ranking.showsRepeats = mode;
    TextBoard board;
    ranking.load(board, tree.path(), QStringLiteral("pelko.log"));
    return board.summary();
}

} // namespace

class tst_Ranking : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void table_data();
    void table();
    void missingLogIsBlank();
    void blankTableSaysWhy_data();
    void blankTableSaysWhy();
    void rowTextsAndLongFields();
    void streamingMatchesWholeFileReading();
    void readerHandsOverExactlySixteenFields();
    void badInputNeverCrashes();
    void numbersReadAsTheFullParserReadsThem();
    void bothScansFindTheSameSeparators();
};

void tst_Ranking::table_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<bool>("mode");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty log") << QByteArray() << false << QString();
    QTest::newRow("fewer than ten, best first")
        << record("a", "50", "90") + record("b", "70", "80") + record("c", "60", "99") << false
        << QStringLiteral("b 70 80|c 60 99|a 50 90");
    QTest::newRow("one per user, rising")
        << record("a", "80", "90") + record("a", "90", "90") << false << QStringLiteral("a 90 90");
    QTest::newRow("one per user, falling")
        << record("a", "90", "90") + record("a", "80", "90") << false << QStringLiteral("a 90 90");
    QTest::newRow("one per user, better rate replaces")
        << record("a", "90", "95.0") + record("x", "85", "99") + record(" a ", "90", "96.0")
        << false << QStringLiteral(" a  90 96|x 85 99");
    QTest::newRow("unconditional keeps every record")
        << record("a", "80", "90") + record("a", "90", "90") + record("a", "70", "90") << true
        << QStringLiteral("a 90 90|a 80 90|a 70 90");
    QTest::newRow("ties keep log order")
        << record("a", "80", "90") + record("b", "80", "90") + record("c", "80", "90.5") << true
        << QStringLiteral("c 80 90.5|a 80 90|b 80 90");
    QTest::newRow("comma in name: 17 fields ignored")
        << record("a", "50", "90") + record("b", "99", "99", "Di,duzi") << false
        << QStringLiteral("a 50 90");
    QTest::newRow("speed not a number blanks everything")
        << record("a", "50", "90") + record("b", "fast", "99") + record("c", "60", "90") << false
        << QString();
    QTest::newRow("rate not a number blanks everything")
        << record("a", "50", "90") + record("b", "40", "") << true << QString();
    QTest::newRow("even behind a full table")
        << QByteArray(record("a", "50", "90")).repeated(10) + record("b", "40.5", "9O") << true
        << QString();
    QTest::newRow("drill runs left out")
        << record("a", "50", "90") +
               record("a", "99", "99").replace("\"f\"", Cp932::encode(u"\"弱点練習\"").bytes)
        << false << QStringLiteral("a 50 90");
    QTest::newRow("speed 0 never shown")
        << record("a", "0", "99") + record("b", "0.5", "10") << true << QStringLiteral("b 0.5 10");
    QTest::newRow("quoted and hexadecimal numbers")
        << record("a", "\"75.5\"", " 90 ") + record("b", "&H50", "1e1") << true
        << QStringLiteral("b 80 10|a 75.5 90");
    QTest::newRow("other line ends and a last line without one")
        << record("a", "50", "90").replace("\r\n", "\r") +
               record("b", "60", "90").replace("\r\n", "\n") + record("c", "70", "90").chopped(2)
        << true << QStringLiteral("c 70 90|b 60 90|a 50 90");
}

void tst_Ranking::table()
{
    QFETCH(QByteArray, log);
    QFETCH(bool, mode);
    QFETCH(QString, shown);
    TempTree tree;
    QCOMPARE(rank(tree, log, mode), shown);
}

void tst_Ranking::missingLogIsBlank()
{
    TempTree tree;
    Ranking ranking;
    TextBoard board;
    ranking.load(board, tree.file(QStringLiteral("nowhere")), QStringLiteral("pelko.log"));
    QCOMPARE(board.summary(), QString());
    QCOMPARE(board.calls, 10);

    // More than ten users: only the best ten, and the eleventh falls out.
    QByteArray log;
    for (int i = 1; i <= 12; ++i)
        log += record("u" + QByteArray::number(i), QByteArray::number(i * 10), "90");
    QCOMPARE(rank(tree, log, false), QStringLiteral("u12 120 90|u11 110 90|u10 100 90|u9 90 90|"
                                                    "u8 80 90|u7 70 90|u6 60 90|u5 50 90|"
                                                    "u4 40 90|u3 30 90"));
}

void tst_Ranking::blankTableSaysWhy_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("reason");
    const QString notNumber = QStringLiteral(" 行目は、速度か正打率が数字ではありません（");
    QTest::newRow("bad speed, line 2")
        << record("a", "50", "90") + record("b", "fast", "99") + record("c", "60", "90")
        << QStringLiteral("pelko.log の 2") + notNumber + QStringLiteral("速度「fast」、正打率「99」）");
    QTest::newRow("bad rate behind a full table, other line ends")
        << QByteArray(record("a", "50", "90")).repeated(10).replace("\r\n", "\r") + "\n" +
               record("b", "40.5", "9O")
        << QStringLiteral("pelko.log の 11") + notNumber;
    QTest::newRow("no usable record")
        << record("a", "0", "99") + "x,y\r\n" << QStringLiteral("ランキングに載る記録");
    QTest::newRow("missing log") << QByteArray("-") << QStringLiteral("pelko.log はまだありません");
}

void tst_Ranking::blankTableSaysWhy()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, reason);
    TempTree tree;
    if (log != "-")
        tree.write(QStringLiteral("pelko.log"), log);
    Ranking ranking;
    TextBoard board;
    ranking.load(board, tree.path(), QStringLiteral("pelko.log"));
    QVERIFY2(board.failure.startsWith(QStringLiteral("ログファイル ") + tree.path()) &&
                 board.failure.contains(reason),
             qPrintable(board.failure));
}

void tst_Ranking::rowTextsAndLongFields()
{
    TempTree tree;
    const QByteArray longName(5 * 1024 * 1024, 'n');
    const QByteArray log = QByteArray(300000, 'x') + "\r\n" +
                           record("山田", "85.5", "0.25", "太郎", "180") +
                           record("b", "50", "90", longName, "60");
    tree.write(QStringLiteral("pelko.log"), Cp932::encode(QString::fromUtf8(log)).bytes);
    Ranking ranking;
    QVERIFY(ranking.readLog(tree.file(QStringLiteral("pelko.log"))));
    const RankRowText first = ranking.rowText(0);
    QCOMPARE(first.userId, QStringLiteral("山田"));
    QCOMPARE(first.userName, QStringLiteral("太郎"));
    QCOMPARE(first.date, QStringLiteral("05-20-2005"));
    QCOMPARE(first.speed, QStringLiteral("85.5"));
    QCOMPARE(first.accuracy, QStringLiteral("0.25"));
    QCOMPARE(first.secondsUsed, QStringLiteral("180"));
    QCOMPARE(ranking.rowText(1).userName.size(), longName.size());
    QCOMPARE(ranking.rowText(2).speed, QString());
}

// Reading everything at once and splitting it is the plain way; the streamed reader must
// agree with it wherever its blocks happen to cut the lines.
void tst_Ranking::streamingMatchesWholeFileReading()
{
    TempTree tree;
    QRandomGenerator random(7);
    const char* const ids[] = {"a", "b", " a", "c", "d", "e", "f", "g", "h", "i", "j", "k"};
    for (const bool mode : {false, true}) {
        QByteArray log;
        while (log.size() < 700 * 1024) {
            // One value written in several ways ("7.25", "07.250", "7.2500000"): equal floats
            // from other digits and places must tie.
            const int quarters = random.bounded(0, 400);
            QByteArray speed = QByteArray::number(quarters / 4.0, 'f', random.bounded(2, 8));
            if (random.bounded(4) == 0)
                speed.prepend('0');
            const QByteArray accuracy = QByteArray::number(random.bounded(50, 60));
            log += record(ids[random.bounded(int(std::size(ids)))], speed, accuracy);
            if (random.bounded(5) == 0)
                log += "junk,line\r\n";
        }
        tree.write(QStringLiteral("pelko.log"), log);
        Ranking streamed;
        streamed.showsRepeats = mode;
        QVERIFY(streamed.readLog(tree.file(QStringLiteral("pelko.log"))));

        Ranking plain;
        plain.showsRepeats = mode;
        for (const QByteArray& line : log.split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split(',');
            if (fields.size() != 16)
                continue;
            auto text = [&](int i) { return QString::fromLatin1(LogFormat::unquoted(fields[i])); };
            plain.entries[10] = {
                text(1), text(3), text(4), float(text(8).toDouble()), float(text(9).toDouble()),
                text(15)};
            plain.insertCandidate();
        }
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(streamed.entries[row].userId, plain.entries[row].userId);
            QCOMPARE(streamed.entries[row].speed, plain.entries[row].speed);
            QCOMPARE(streamed.entries[row].accuracy, plain.entries[row].accuracy);
        }
    }
}

// Lines one field short or over, short and long fields, every kind of line end, across the
// reader's pieces and blocks: it must hand over what splitting each line gives, nothing else.
void tst_Ranking::readerHandsOverExactlySixteenFields()
{
    QRandomGenerator random(11);
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
    QByteArray log;
    QList<QByteArrayList> expected;
    while (log.size() < 600 * 1024) {
        const int fieldCount = random.bounded(14, 19);
        QByteArrayList fields;
        for (int f = 0; f < fieldCount; ++f)
            fields << QByteArray(random.bounded(10) == 0 ? random.bounded(200) : random.bounded(6),
                                 char('a' + f));
        const QByteArray line = fields.join(',');
        LogFields split;
        if (LogFormat::splitLine(line, split))
            expected.append({split[1].toByteArray(), split[3].toByteArray(), split[4].toByteArray(),
                             split[7].toByteArray(), split[8].toByteArray(),
                             split[9].toByteArray(), split[15].toByteArray()});
        log += line + ends[random.bounded(int(std::size(ends)))];
    }
    log += "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"; // a last line without its end
    expected.append({"1", "3", "4", "7", "8", "9", "15"});

    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), log);
    QFile file(tree.file(QStringLiteral("pelko.log")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArrayList> seen;
    RankingReader reader(file.handle());
    QVERIFY(reader.run([&](const RankingReader::Line& line) {
        QByteArrayList fields;
        bool ok = true;
        for (int f = 0; f < RankingReader::FieldCount; ++f)
            fields << line.field(RankingReader::Field(f), ok);
        seen.append(fields);
        return ok;
    }));
    QCOMPARE(seen.size(), expected.size());
    QCOMPARE(seen, expected);
}

void tst_Ranking::badInputNeverCrashes()
{
    TempTree tree;
    QRandomGenerator random(99);
    QByteArray junk(2 * 1024 * 1024, Qt::Uninitialized);
    for (char& c : junk)
        c = char(random.bounded(256));
    Ranking ranking;
    tree.write(QStringLiteral("junk.log"), junk);
    ranking.readLog(tree.file(QStringLiteral("junk.log")));

    // Junk that parses as records: bad Shift-JIS in the texts is shown, not fatal.
    QByteArray badText;
    for (int i = 0; i < 100000; ++i)
        badText += record("\x82\xff\x81", QByteArray::number(i % 300), "9", "\xfd\x80\x82");
    QCOMPARE(rank(tree, badText, true).section(u'|', 0, 0),
             QStringLiteral("\uFFFD\uFFFD\uFFFD 299 9"));

    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += QByteArray::number(i) + ",,\"\",\x82\r\n";
    garbage += record("z", "1", "1");
    QCOMPARE(rank(tree, garbage, false), QStringLiteral("z 1 1"));

    const QByteArray oneLine = QByteArray(10 * 1024 * 1024, ',');
    QCOMPARE(rank(tree, oneLine, false), QString());
    QCOMPARE(rank(tree, QByteArray(10 * 1024 * 1024, '\x82'), false), QString());
}

// The log's plain decimals take a short way; it must give the very floats the full parser
// gives, rounding included, and leave everything else to it.
void tst_Ranking::numbersReadAsTheFullParserReadsThem()
{
    const char* const texts[] = {"0",
                                 "85.5",
                                 "299.9",
                                 "0.1",
                                 "007.50",
                                 "123.",
                                 ".5",
                                 "1e3",
                                 "-2.5",
                                 " 42",
                                 "42 ",
                                 "",
                                 ".",
                                 "1.2.3",
                                 "99999999999999.9",
                                 "0.30000000000000004",
                                 "123456789012345",
                                 "1234567890123456",
                                 "1234567",
                                 "12345678",
                                 "12345.6",
                                 ".123456",
                                 "000000.",
                                 "9.99999",
                                 "1/2",
                                 "\"12.5\"",
                                 "1:5"};
    for (const char* text : texts) {
        const std::optional<double> full = LogRecordNumber::leadingNumber(QByteArrayView(text));
        const std::optional<float> read = singleOfField(QByteArrayView(text));
        if (full)
            QCOMPARE(read, std::optional<float>(float(*full)));
    }
    // The same texts as fields of a log, where the reader reads short ones a word at a time;
    // the last one ends the file, its word running past the bytes read.
    QByteArray log;
    for (const char* text : texts)
        log += record("a", text, text);
    log.chop(2);
    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), log);
    QFile file(tree.file(QStringLiteral("pelko.log")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    RankingReader reader(file.handle());
    int index = 0;
    QVERIFY(reader.run([&](const RankingReader::Line& line) {
        const std::optional<float> expected = singleOfField(LogFormat::unquoted(texts[index++]));
        bool ok = true;
        float value = -1;
        const bool read = line.number(RankingReader::Speed, value, ok);
        quint32 digits;
        int places;
        const bool plain = line.decimal(RankingReader::Speed, digits, places);
        return ok && read == expected.has_value() && (!read || value == *expected) &&
               line.isNumber(RankingReader::Accuracy, ok) == read &&
               (!plain || RankingReader::decimalValue(digits, places) == value);
    }));
    QCOMPARE(index, int(std::size(texts)));

    QRandomGenerator random(3);
    for (int i = 0; i < 20000; ++i) {
        const QByteArray text = QByteArray::number(random.bounded(100000000)) + '.' +
                                QByteArray::number(random.bounded(1000000));
        QCOMPARE(singleOfField(text), std::optional<float>(float(text.toDouble())));
    }
}

// The wide scan must find what the portable one finds, at every place in a 64-byte window.
void tst_Ranking::bothScansFindTheSameSeparators()
{
    QRandomGenerator random(5);
    const char alphabet[] = {',', '\r', '\n', 'a', '1', '\x82'};
    auto listed = [](void (*scan)(const char*, qsizetype, SeparatorList&),
                     const QByteArray& bytes) {
        const auto room = static_cast<size_t>(bytes.size() + SeparatorScan::SpareEntries);
        std::vector<quint32> commas(room), ends(room), before(room);
        SeparatorList list{commas.data(), ends.data(), before.data()};
        scan(bytes.constData(), bytes.size(), list);
        commas.resize(size_t(list.commaCount));
        ends.resize(size_t(list.lineEndCount));
        before.resize(size_t(list.lineEndCount));
        return std::tuple(commas, ends, before);
    };
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(random.bounded(300), Qt::Uninitialized);
        for (char& c : bytes)
            c = alphabet[random.bounded(round % 2 ? 6 : 3)];
        const auto [commas, ends, before] = listed(SeparatorScan::listPortable, bytes);
        QCOMPARE(listed(SeparatorScan::listWide, bytes),
                 listed(SeparatorScan::listPortable, bytes));
        // Every comma, every CR, every LF but one right after a CR.
        std::vector<quint32> plainCommas, plainEnds, plainBefore;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == ',')
                plainCommas.push_back(quint32(i));
            else if (bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))) {
                plainEnds.push_back(quint32(i));
                plainBefore.push_back(quint32(plainCommas.size()));
            }
        }
        QCOMPARE(commas, plainCommas);
        // A CR LF cut by a window's end may keep its LF; that is an empty line, no harm.
        std::vector<quint32> kept;
        std::vector<quint32> keptBefore;
        for (size_t i = 0; i < ends.size(); ++i) {
            if (bytes[ends[i]] == '\n' && ends[i] % 64 == 0 && ends[i] > 0 &&
                bytes[ends[i] - 1] == '\r')
                continue;
            kept.push_back(ends[i]);
            keptBefore.push_back(before[i]);
        }
        QCOMPARE(kept, plainEnds);
        QCOMPARE(keptBefore, plainBefore);
    }
    if (!SeparatorScan::wideAvailable())
        qInfo("This processor has no AVX2: both scans were the portable one.");
}

QTEST_GUILESS_MAIN(tst_Ranking)
#include "tst_Ranking.moc"
