#include "common/Cp932.h"
#include "history/CsvExport.h"
#include "history/ExportCommand.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QTest>

class tst_ExportCommand : public QObject
{
    Q_OBJECT

private:
    TempTree m_tree;

    int run(const QStringList& arguments, QByteArray* standardOutput = nullptr,
            QString* messages = nullptr)
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QString text;
        const int status = ExportCommand::run(arguments, 25, out, text);
        if (standardOutput)
            *standardOutput = out.data();
        if (messages)
            *messages = text;
        return status;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QByteArray log;
        int number = 0;
        for (const char* line : {"\"12-01-2026\",\"09:00:00\",\"A01\",\"佐藤\"",
                                 "\"12-05-2026\",\"09:00:00\",\"B02\",\"伊藤\"",
                                 "\"12-09-2026\",\"09:00:00\",\"A01\",\"佐藤\""})
            log +=
                Cp932::encode(QString(QString::number(number++) + u',' + QString::fromUtf8(line) +
                                      u",\"PC\",\"u\",\"jpn_dat.1\",30,99,0,1,1,1,1,60\r\n"))
                    .bytes;
        log += "broken line\r\n";
        m_tree.write(QStringLiteral("pelko.log"), log);
    }

    void writesTheFilteredRows()
    {
        const QString log = m_tree.file(QStringLiteral("pelko.log"));
        const QString csv = m_tree.file(QStringLiteral("out.csv"));
        QString messages;
        QCOMPARE(run({QStringLiteral("--export-csv"), log, QStringLiteral("--user"),
                      QStringLiteral("A01"), QStringLiteral("--from"), QStringLiteral("2026-12-02"),
                      csv},
                     nullptr, &messages),
                 0);
        const QList<QByteArray> lines = m_tree.read(QStringLiteral("out.csv")).split('\n');
        QCOMPARE(lines.size(), 3); // title, one record, nothing after the last CR LF
        QVERIFY(lines[1].startsWith("2,2026-12-09,09:00:00,A01,"));
        // The line the ranking would skip is reported, not lost in silence.
        QVERIFY(messages.contains(QStringLiteral("16 列でない行 1 行")));

        QByteArray standardOutput;
        QCOMPARE(run({QStringLiteral("--to"), QStringLiteral("2026/12/05"),
                      QStringLiteral("--export-csv"), log},
                     &standardOutput),
                 0);
        QCOMPARE(standardOutput.count("\r\n"), 3);
        QVERIFY(standardOutput.startsWith("\xEF\xBB\xBF"));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString log = m_tree.file(QStringLiteral("pelko.log"));
        QTest::newRow("missing log")
            << QStringList{QStringLiteral("--export-csv"), m_tree.file(QStringLiteral("none.log"))}
            << 1 << QStringLiteral("ログファイルがありません");
        QTest::newRow("a folder") << QStringList{QStringLiteral("--export-csv"), m_tree.path()} << 1
                                  << QStringLiteral("読み込めません");
        QTest::newRow("no log named")
            << QStringList{QStringLiteral("--export-csv")} << 3 << QStringLiteral("使い方");
        QTest::newRow("bad date") << QStringList{QStringLiteral("--export-csv"), log,
                                                 QStringLiteral("--from"),
                                                 QStringLiteral("12-01-2026")}
                                  << 3 << QStringLiteral("日付が正しくありません");
        QTest::newRow("two outputs")
            << QStringList{QStringLiteral("--export-csv"), log, QStringLiteral("a.csv"),
                           QStringLiteral("b.csv")}
            << 3 << QStringLiteral("分からない引数");
        QTest::newRow("unwritable output")
            << QStringList{QStringLiteral("--export-csv"), log,
                           m_tree.file(QStringLiteral("no/such/folder/out.csv"))}
            << 2 << QStringLiteral("書き込めません");
    }

    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QString messages;
        QCOMPARE(run(arguments, nullptr, &messages), status);
        QVERIFY2(messages.contains(message), qPrintable(messages));
    }

    void formulasReachNoSpreadsheet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("=") << QStringLiteral("=1+1") << QByteArray("'=1+1");
        QTest::newRow("@") << QStringLiteral("@SUM(1+1)") << QByteArray("'@SUM(1+1)");
        QTest::newRow("+") << QStringLiteral("+81") << QByteArray("'+81");
        QTest::newRow("-") << QStringLiteral("-2+3") << QByteArray("'-2+3");
        QTest::newRow("tab") << QStringLiteral("\tx") << QByteArray("'\tx");
        QTest::newRow("CR, quoted") << QStringLiteral("\rx") << QByteArray("\"'\rx\"");
        QTest::newRow("comma, quoted")
            << QStringLiteral("=HYPERLINK(\"a\",1)") << QByteArray("\"'=HYPERLINK(\"\"a\"\",1)\"");
        QTest::newRow("negative number") << QStringLiteral("-5") << QByteArray("-5");
        QTest::newRow("decimal") << QStringLiteral("12.5") << QByteArray("12.5");
        QTest::newRow("inside") << QStringLiteral("a=1") << QByteArray("a=1");
    }

    void formulasReachNoSpreadsheet()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, cell);
        QCOMPARE(CsvExport::field(text), cell);
    }
};

QTEST_GUILESS_MAIN(tst_ExportCommand)
#include "tst_ExportCommand.moc"
