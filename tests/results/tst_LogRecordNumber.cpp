#include "common/NumericText.h"
#include "results/LogRecordNumber.h"
#include "support/TempTree.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace
{

// What reading the whole log from its start gives: the first field of the last line that
// holds a decimal number.
LogRecordNumber::Result forwardScan(const QByteArray& log)
{
    LogRecordNumber::Result result;
    QByteArray normalised = log;
    normalised.replace('\r', '\n');
    for (const QByteArray& line : normalised.split('\n')) {
        const qsizetype comma = line.indexOf(',');
        const QByteArray first = comma < 0 ? line : line.left(comma);
        bool ascii = true;
        for (const char c : first)
            ascii = ascii && uchar(c) < 0x80;
        const QString text = QString::fromLatin1(first);
        if (!ascii || text.contains(u'&') || !NumericText::isNumber(text))
            continue;
        result.status = LogRecordNumber::Result::Found;
        result.value = NumericText::leadingValue(text);
    }
    return result;
}

LogRecordNumber::Result backwardScan(const TempTree& tree, const QByteArray& log, int block)
{
    tree.write(QStringLiteral("log"), log);
    const int fd =
        ::open(QFile::encodeName(tree.file(QStringLiteral("log"))).constData(), O_RDONLY);
    const auto result = LogRecordNumber::lastNumbered(fd, log.size(), block);
    ::close(fd);
    return result;
}

QString describe(const LogRecordNumber::Result& r)
{
    return r.status == LogRecordNumber::Result::Found ? QString::number(r.value, 'g', 17)
                                                      : QStringLiteral("none");
}

const char* const firstFields[] = {
    "12",  " 41 ",  "+3",  "-2",     "1.5",   "2.5e1",    "3d0",       "5.",
    ".5",  "\t7\t", "abc", "\"12\"", "",      "1e",       ".",         "1 2",
    "- 5", "&H10",  "1e+", "0x10",   "9.9.9", "\x82\x50", "4\x82\x50", "1E-2 ",
};
const char* const lineEnds[] = {"\r\n", "\r\n", "\r\n", "\r", "\n", "\n\r", "\r\r\n"};

} // namespace

class tst_LogRecordNumber : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namedLogs_data();
    void namedLogs();
    void backwardEqualsForwardOnRandomLogs();
};

void tst_LogRecordNumber::namedLogs_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("none");
    QTest::newRow("last line without line end") << QByteArray("1,a\r\n2,b") << QStringLiteral("2");
    QTest::newRow("unnumbered lines at the end")
        << QByteArray("7,a\r\nx,b\r\n\r\n\"8\",c\r\n") << QStringLiteral("7");
    QTest::newRow("CR only") << QByteArray("3,a\r4,b\r,c\r") << QStringLiteral("4");
    QTest::newRow("number without comma") << QByteArray("x\r\n 9 ") << QStringLiteral("9");
    QTest::newRow("long unnumbered tail")
        << (QByteArray("6,a\r\n") + QByteArray(200000, 'z')) << QStringLiteral("6");
    QTest::newRow("long numbered first field")
        << ("5" + QByteArray(100000, ' ') + ",a\r\n") << QStringLiteral("5");
}

void tst_LogRecordNumber::namedLogs()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, expected);
    TempTree tree;
    for (const int block : {1, 3, 64, 65536}) {
        QCOMPARE(describe(backwardScan(tree, log, block)), expected);
        QCOMPARE(describe(forwardScan(log)), expected);
    }
}

void tst_LogRecordNumber::backwardEqualsForwardOnRandomLogs()
{
    TempTree tree;
    QRandomGenerator random(20051);
    for (int round = 0; round < 400; ++round) {
        QByteArray log;
        const int lines = random.bounded(0, 12);
        for (int i = 0; i < lines; ++i) {
            log += firstFields[random.bounded(int(std::size(firstFields)))];
            if (random.bounded(4) != 0)
                log += ",\"x\",y";
            if (i + 1 < lines || random.bounded(2))
                log += lineEnds[random.bounded(int(std::size(lineEnds)))];
        }
        const int block = 1 + random.bounded(16);
        QCOMPARE(describe(backwardScan(tree, log, block)), describe(forwardScan(log)));
    }
}

QTEST_GUILESS_MAIN(tst_LogRecordNumber)
#include "tst_LogRecordNumber.moc"
