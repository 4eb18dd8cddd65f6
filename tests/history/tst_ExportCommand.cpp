#include "common/Cp932.h"
#include "history/CsvExport.h"
#include "history/ExportCommand.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class tst_ExportCommand : public QObject
{
    Q_OBJECT

private:
    TempTree m_tree;
    QByteArray m_log;

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
        m_log = log;
        m_tree.mkdir(QStringLiteral("sub"));
        QFile::link(m_tree.file(QStringLiteral("pelko.log")), m_tree.file(QStringLiteral("link.log")));
        for (const char* fifo : {"fifo.log", "out.fifo"})
            QCOMPARE(::mkfifo(QFile::encodeName(m_tree.file(QString::fromLatin1(fifo))), 0600), 0);
        // Beside a log, a FIFO by an archive's name.
        m_tree.write(QStringLiteral("sub/pelko.log"), log);
        QFile::link(m_tree.file(QStringLiteral("fifo.log")),
                    m_tree.file(QStringLiteral("sub/pelko-20261130-080000.log")));
        // A student's link in a folder everyone writes to, aimed at the teacher's file.
        m_tree.mkdir(QStringLiteral("shared"));
        ::chmod(QFile::encodeName(m_tree.file(QStringLiteral("shared"))), 01777);
        m_tree.write(QStringLiteral("bashrc"), "teacher's");
        const QByteArray link = QFile::encodeName(m_tree.file(QStringLiteral("shared/results.csv")));
        QFile::link(m_tree.file(QStringLiteral("bashrc")), QFile::decodeName(link));
        ::lchown(link.constData(), 65534, 65534); // only as root; the row is left out otherwise
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

        // Buffered: a full device refuses the bytes only when they are flushed.
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly));
        QCOMPARE(ExportCommand::run({QStringLiteral("--export-csv"), log}, 25, full, messages), 2);
        QVERIFY(messages.contains(QStringLiteral("標準出力に書き込めません")));
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
                                  << QStringLiteral("ふつうのファイルではありません");
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
        auto row = [&](const char* name, const QStringList& more, int status, const char* why) {
            QTest::newRow(name) << QStringList{QStringLiteral("--export-csv"), log} + more << status
                                << QString::fromUtf8(why);
        };
        auto at = [&](const char* relative) { return m_tree.file(QString::fromUtf8(relative)); };
        auto word = [](const char* text) { return QString::fromUtf8(text); };
        row("the log as output", {log}, 3, "ログファイルそのもの");
        row("the log spelled otherwise", {at("sub/../pelko.log")}, 3, "ログファイルそのもの");
        row("a link to the log", {at("link.log")}, 3, "ログファイルそのもの");
        row("a FIFO as output", {at("out.fifo")}, 3, "ふつうのファイル");
        row("a folder as output", {at("sub")}, 3, "ふつうのファイル");
        if (::geteuid() == 0)
            row("another user's link in a shared folder", {at("shared/results.csv")}, 3,
                "シンボリックリンク");
        row("an option as output", {word("-o")}, 3, "分からない引数");
        row("an option as a value", {word("--user"), word("--from"), word("2026-12-01")}, 3,
            "--user の後に値がありません");
        row("a repeated option", {word("--export-csv"), at("none.log")}, 3, "2回");
        row("from after to", {word("--from"), word("2026-12-05"), word("--to"), word("2026-12-01")},
            3, "より後");
        QTest::newRow("a FIFO as log") << QStringList{word("--export-csv"), at("fifo.log")} << 1
                                       << word("ふつうのファイルではありません");
        QTest::newRow("an archive that is no log, skipped")
            << QStringList{word("--export-csv"), at("sub/pelko.log")} << 0
            << at("sub/pelko-20261130-080000.log") + word("（読み飛ばしました）");
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
        QCOMPARE(m_tree.read(QStringLiteral("pelko.log")), m_log);
        QCOMPARE(m_tree.read(QStringLiteral("bashrc")), QByteArray("teacher's"));
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
        QTest::newRow("full-width =") << QStringLiteral("＝1+1") << QByteArray("'＝1+1");
        QTest::newRow("full-width +") << QStringLiteral("＋81") << QByteArray("'＋81");
        QTest::newRow("full-width -") << QStringLiteral("－1") << QByteArray("'－1");
        QTest::newRow("full-width @") << QStringLiteral("＠SUM(1)") << QByteArray("'＠SUM(1)");
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
