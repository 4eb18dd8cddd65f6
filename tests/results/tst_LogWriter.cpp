#include "common/Cp932.h"
#include "results/LogWriter.h"
#include "support/TempTree.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTest>

namespace
{

const QDateTime fixedNow(QDate(2005, 5, 20), QTime(14, 3, 12));

QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).bytes;
}

// One complete record, numbered by what the log already holds.
void fillExample(LogWriter& writer, const TempTree& tree)
{
    writer.userId = QStringLiteral("A001");
    writer.userName = QStringLiteral("Diduzi");
    writer.computerName = QStringLiteral("PC01");
    writer.loginName = QStringLiteral("diduzi");
    writer.fileName = QStringLiteral("jpn_dat.1");
    writer.charsPerMinute = 85.5f;
    writer.accuracy = 97.25f;
    writer.errors = 3;
    writer.acceptedChars = 257;
    writer.totalChars = 260;
    writer.kanjiOrSymbolChars = 35;
    writer.alphanumericChars = 12;
    writer.secondsUsed = 180;
    writer.logFolder = tree.path();
    writer.logName = QStringLiteral("pelko.log");
    writer.passLogFolder = tree.path();
    writer.passLogName = QStringLiteral("pksub.log");
    writer.currentTime = [] { return fixedNow; };
}

const QByteArray exampleTail = QByteArrayLiteral(
    ",\"05-20-2005\",\"14:03:12\",\"A001\",\"Diduzi\",\"PC01\",\"diduzi\",\"jpn_dat.1\","
    "85.5,97.25,3,257,260,35,12,180");

} // namespace

class tst_LogWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordNumber_data();
    void recordNumber();
    void passLogLine_data();
    void passLogLine();
    void passLogOffOrMissing();
    void valueThatBreaksTheLineWritesNothing_data();
    void valueThatBreaksTheLineWritesNothing();
    void existingLogFoundIgnoringCase();
    void formatChangeBlock_data();
    void formatChangeBlock();
    void lockHeldElsewhereFails();
    void concurrentWritersNumberEachRecordOnce();
};

void tst_LogWriter::recordNumber_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("appended"); // prefix before the example tail, or "" on failure

    QTest::newRow("new log") << false << QByteArray() << 0 << QByteArray("0");
    QTest::newRow("empty log") << true << QByteArray() << 0 << QByteArray("1");
    QTest::newRow("no numbered line")
        << true << QByteArray("\"x\",1\r\nabc,2\r\n\r\n") << 0 << QByteArray("1");
    QTest::newRow("last line not highest")
        << true << QByteArray("98,a\r\n99,b\r\n41,c\r\nfoo,d\r\n") << 0 << QByteArray("42");
    QTest::newRow("blanks and halves to even")
        << true << QByteArray("1,a\r\n  2.5  ,b\r\n") << 0 << QByteArray("3");
    QTest::newRow("torn last line")
        << true << QByteArray("5,x\r\n6,\"05-2") << 0 << QByteArray("\r\n7");
    QTest::newRow("lone CR ending") << true << QByteArray("5,x\r") << 0 << QByteArray("\r\n6");
    QTest::newRow("at the 16-bit limit") << true << QByteArray("32767,x\r\n") << 1 << QByteArray();
    QTest::newRow("beyond 16 bits") << true << QByteArray("40000,x\r\n") << 1 << QByteArray();
}

void tst_LogWriter::recordNumber()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(int, result);
    QFETCH(QByteArray, appended);
    TempTree tree;
    if (exists)
        tree.write(QStringLiteral("pelko.log"), before);
    LogWriter writer;
    fillExample(writer, tree);
    QCOMPARE(int(writer.write(true)), result);
    if (result != 0) {
        QCOMPARE(tree.read(QStringLiteral("pelko.log")), before);
        QVERIFY(!QFile::exists(tree.file(QStringLiteral("pksub.log"))));
        return;
    }
    const QByteArray number = appended.mid(appended.lastIndexOf('\n') + 1);
    QCOMPARE(QByteArray::number(writer.recordNumber), number);
    QCOMPARE(tree.read(QStringLiteral("pelko.log")), before + appended + exampleTail + "\r\n");
    QCOMPARE(tree.read(QStringLiteral("pksub.log")), number + exampleTail + ",\r\n");
}

void tst_LogWriter::passLogLine_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("time used before number")
        << QStringLiteral("F0") << QStringLiteral("Diduzi") << QByteArray("180,12,\r\n");
    QTest::newRow("repeated code, unknown ignored")
        << QStringLiteral("00x") << QStringLiteral("Diduzi") << QByteArray("12,12,\r\n");
    QTest::newRow("lower-case code ignored")
        << QStringLiteral("a8") << QStringLiteral("Diduzi") << QByteArray("85.5,\r\n");
    QTest::newRow("empty style") << QString() << QStringLiteral("Diduzi") << QByteArray("\r\n");
    QTest::newRow("full-width comma and quote are plain characters")
        << QStringLiteral("4") << QStringLiteral("山田，”太郎”")
        << QByteArray("\"" + sjis(QStringLiteral("山田，”太郎”")) + "\",\r\n");
    QTest::newRow("date and time") << QStringLiteral("12") << QStringLiteral("x")
                                   << QByteArray("\"05-20-2005\",\"14:03:12\",\r\n");
}

void tst_LogWriter::passLogLine()
{
    QFETCH(QString, style);
    QFETCH(QString, userName);
    QFETCH(QByteArray, line);
    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), "11,a\r\n");
    LogWriter writer;
    fillExample(writer, tree);
    writer.userName = userName;
    writer.columnCodes = style;
    QCOMPARE(int(writer.write(true)), 0);
    QCOMPARE(tree.read(QStringLiteral("pksub.log")), line);
}

void tst_LogWriter::passLogOffOrMissing()
{
    TempTree tree;
    LogWriter off;
    fillExample(off, tree);
    off.accuracy = 0.5f;
    QCOMPARE(int(off.write(false)), 0);
    QVERIFY(!QFile::exists(tree.file(QStringLiteral("pksub.log"))));
    QVERIFY(tree.read(QStringLiteral("pelko.log")).contains(",85.5,.5,3,"));

    LogWriter missing;
    fillExample(missing, tree);
    missing.passLogFolder = tree.file(QStringLiteral("no-such-folder"));
    QCOMPARE(int(missing.write(true)), 1);
    QCOMPARE(missing.recordNumber, qint16(1));
    QVERIFY(tree.read(QStringLiteral("pelko.log"))
                .endsWith(QByteArray("\r\n1" + exampleTail + "\r\n")));
}

void tst_LogWriter::valueThatBreaksTheLineWritesNothing_data()
{
    QTest::addColumn<int>("field"); // 0 userId, 1 userName, 2 computerName, 3 loginName, 4 fileName
    QTest::addColumn<QString>("value");
    QTest::newRow("emoji in the name") << 1 << QStringLiteral("Zoë 😀");
    QTest::newRow("comma in the name") << 1 << QStringLiteral("山田,太郎");
    QTest::newRow("quote in the ID") << 0 << QStringLiteral("A\"1");
    QTest::newRow("line feed in the PC name") << 2 << QStringLiteral("pc\n01");
    QTest::newRow("carriage return in the file name") << 4 << QStringLiteral("jpn_dat.1\r");
}

void tst_LogWriter::valueThatBreaksTheLineWritesNothing()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), "3,a\r\n");
    LogWriter writer;
    fillExample(writer, tree);
    QString* fields[] = {&writer.userId, &writer.userName, &writer.computerName, &writer.loginName,
                         &writer.fileName};
    *fields[field] = value;
    QCOMPARE(int(writer.write(true)), 1);
    QCOMPARE(tree.read(QStringLiteral("pelko.log")), QByteArray("3,a\r\n"));
    QVERIFY(!QFile::exists(tree.file(QStringLiteral("pksub.log"))));
}

void tst_LogWriter::existingLogFoundIgnoringCase()
{
    TempTree tree;
    tree.write(QStringLiteral("Logs/PELKO.LOG"), "8,a\r\n");
    LogWriter writer;
    fillExample(writer, tree);
    writer.logFolder = tree.file(QStringLiteral("logs"));
    QCOMPARE(int(writer.write(false)), 0);
    QCOMPARE(tree.read(QStringLiteral("Logs/PELKO.LOG")),
             QByteArray("8,a\r\n9" + exampleTail + "\r\n"));
    QVERIFY(!QFile::exists(tree.file(QStringLiteral("Logs/pelko.log"))));
}

void tst_LogWriter::formatChangeBlock_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("titles");
    QTest::newRow("catalogue order")
        << QStringLiteral("F02") << QStringLiteral("連番,時間,計測時間(秒),");
    QTest::newRow("nothing chosen") << QString() << QString();
}

void tst_LogWriter::formatChangeBlock()
{
    QFETCH(QString, style);
    QFETCH(QString, titles);
    TempTree tree;
    tree.write(QStringLiteral("pksub.log"), "1,\r\n");
    QVERIFY(appendColumnChange(tree.path(), QStringLiteral("PKSUB.log"), style, fixedNow));
    const QString expected =
        QStringLiteral("1,\r\n\r\n+++ログ形式変更+++05-20-2005 14:03:12+++\r\n") + titles +
        QStringLiteral("\r\n---以下ログ---\r\n\r\n");
    QCOMPARE(tree.read(QStringLiteral("pksub.log")), sjis(expected));
    QVERIFY(!appendColumnChange(tree.file(QStringLiteral("gone")), QStringLiteral("pksub.log"),
                                style, fixedNow));
}

void tst_LogWriter::lockHeldElsewhereFails()
{
    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), "4,a\r\n");
    QProcess holder;
    holder.start(QStringLiteral(LOGWRITER_HELPER),
                 {QStringLiteral("hold"), tree.file(QStringLiteral("pelko.log"))});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    LogWriter writer;
    fillExample(writer, tree);
    writer.lockTimeoutMs = 200;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(int(writer.write(false)), 1);
    QVERIFY(timer.elapsed() < 3000);
    QCOMPARE(tree.read(QStringLiteral("pelko.log")), QByteArray("4,a\r\n"));

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    LogWriter after;
    fillExample(after, tree);
    QCOMPARE(int(after.write(false)), 0);
    QCOMPARE(after.recordNumber, qint16(5));
}

void tst_LogWriter::concurrentWritersNumberEachRecordOnce()
{
    TempTree tree;
    QList<QProcess*> writers;
    for (int i = 0; i < 4; ++i) {
        auto* process = new QProcess(this);
        process->start(QStringLiteral(LOGWRITER_HELPER),
                       {QStringLiteral("append"), tree.path(), QStringLiteral("pelko.log"),
                        QStringLiteral("200")});
        writers.append(process);
    }
    for (QProcess* process : writers) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitCode(), 0);
    }
    const QByteArray log = tree.read(QStringLiteral("pelko.log"));
    QVERIFY(log.endsWith("\r\n"));
    QList<QByteArray> lines = log.split('\n');
    lines.removeLast(); // after the final line end
    QCOMPARE(lines.size(), 800);
    QSet<int> numbers;
    for (const QByteArray& line : lines) {
        QVERIFY2(line.endsWith('\r'), line.constData());
        const QList<QByteArray> fields = line.chopped(1).split(',');
        QCOMPARE(fields.size(), 16);
        numbers.insert(fields.first().toInt());
    }
    QCOMPARE(numbers.size(), 800);
    QCOMPARE(*std::min_element(numbers.begin(), numbers.end()), 0);
    QCOMPARE(*std::max_element(numbers.begin(), numbers.end()), 799);
}

QTEST_GUILESS_MAIN(tst_LogWriter)
#include "tst_LogWriter.moc"
