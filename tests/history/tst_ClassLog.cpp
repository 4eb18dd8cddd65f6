#include "common/Cp932.h"
#include "history/ClassLog.h"
#include "history/ClassLogQuery.h"
#include "history/CsvExport.h"
#include "history/ProgressData.h"
#include "results/LogArchive.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// A main-log line as the writer makes it, in Shift-JIS.
QByteArray record(int number, const char* date, const char* time, const char* id, const char* name,
                  const char* file, const char* speed, const char* accuracy = "98.5")
{
    auto u = [](const char* text) { return QString::fromUtf8(text); };
    return Cp932::encode(QStringLiteral("%1,\"%2\",\"%3\",\"%4\",\"%5\",\"PC01\",\"taro\","
                                        "\"%6\",%7,%8,3,150,300,40,5,180\r\n")
                             .arg(number)
                             .arg(u(date), u(time), u(id), u(name), u(file), u(speed), u(accuracy)))
        .bytes;
}

std::vector<int> allRows(const ClassLog& log)
{
    return selectRows(log, ClassLogFilter());
}

QStringList column(const ClassLog& log, const std::vector<int>& rows, int col)
{
    QStringList texts;
    for (int row : rows)
        texts.append(ClassLogColumns::cellText(log, row, col, 25));
    return texts;
}

// A fault ends the child, not the suite; so does a hang.
bool inChild(const std::function<bool()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(300); // only a guard against a hang: a loaded sanitizer build needs over 20 s
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class tst_ClassLog : public QObject
{
    Q_OBJECT

private:
    TempTree m_tree;
    QString m_path;

    // Four users over three days, and the kinds of line a real log collects.
    void writeClassLog()
    {
        QByteArray bytes;
        bytes += record(0, "12-01-2026", "09:00:00", "A01", "Sato", "jpn_dat.001", "30.5");
        bytes += record(1, "12-01-2026", "09:10:00", "B02", "Suzuki", "JPN_DAT.002", "25");
        // A name with a comma: the writer refuses it, a hand edit does not.
        bytes += "2,\"12-01-2026\",\"09:20:00\",\"C03\",\"Ito, K\",\"PC01\",\"taro\","
                 "\"jpn_dat.001\",40,99,0,1,1,1,1,1\r\n";
        bytes += record(3, "12-02-2026", "10:00:00", "A01", "Sato", "jpn_dat.002", "45");
        // The bytes of a name that is not Shift-JIS.
        bytes += QByteArray("4,\"12-02-2026\",\"10:05:00\",\"D04\",\"\x85\x40name\",\"PC01\","
                            "\"taro\",\"jpn_dat.001\",24.9,90,0,1,1,1,1,1\r\n");
        // A pass-log format block pasted in.
        bytes += Cp932::encode(QStringLiteral("\r\n+++ログ形式変更+++12-02-2026 11:00:00+++\r\n"
                                              "連番,日付,\r\n---以下ログ---\r\n"))
                     .bytes;
        bytes += record(5, "12-03-2026", "08:00:00", " A01 ", "Sato", "jpn_dat.001", "20");
        bytes += record(6, "12-03-2026", "08:00:00", "B02", "鈴木", "jpn_dat.001", "abc");
        bytes += record(7, "11-30-2026", "07:00:00", "B02", "鈴木", "jpn_dat.002", "60", "97");
        // Torn by a crash part-way through the last record.
        bytes += "8,\"12-03-2026\",\"09:00:00\",\"A01\",\"Sa";
        m_tree.write(QStringLiteral("pelko.log"), bytes);
        m_path = m_tree.file(QStringLiteral("pelko.log"));
    }

private Q_SLOTS:
    void initTestCase() { writeClassLog(); }

    void readsRecordsAndCountsTheRest()
    {
        ClassLog log;
        QCOMPARE(log.open(m_path), ClassLog::Status::Ok);
        QCOMPARE(log.size(), 6);
        // The comma name, three lines of the format block and the torn line.
        QCOMPARE(log.wrongFieldCountLines(), 5);
        QCOMPARE(log.notNumberLines(), 1);
        QCOMPARE(log.undecodableRecords(), 1);
        QCOMPARE(log.text(3, 4), QStringLiteral("\uFFFD@name"));
        QCOMPARE(log.text(5, 4), QStringLiteral("鈴木"));
        QCOMPARE(log.when(0), QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
        QCOMPARE(log.earliestDate(), QDate(2026, 11, 30)); // written last, dated first
        QCOMPARE(log.latestDate(), QDate(2026, 12, 3));
        QVERIFY(readReport(log).contains(QStringLiteral("16 列でない行 5 行")));

        ClassLog none;
        QCOMPARE(none.open(m_tree.file(QStringLiteral("nothing.log"))), ClassLog::Status::Missing);
        m_tree.write(QStringLiteral("empty.log"), {});
        QCOMPARE(none.open(m_tree.file(QStringLiteral("empty.log"))), ClassLog::Status::Ok);
        QCOMPARE(none.size(), 0);
    }

    // A full log moved aside: its archives in date order, then the log, as one.
    void readsArchivesWithTheLog()
    {
        TempTree tree;
        tree.write(QStringLiteral("pelko-20261202-080000.log"),
                   record(1, "12-02-2026", "08:00:00", "B", "b", "f", "2") + "9,\"torn");
        tree.write(QStringLiteral("pelko-20261202-080000-2.log"),
                   record(2, "12-03-2026", "08:00:00", "C", "c", "f", "3"));
        tree.write(QStringLiteral("Pelko-20261201-080000.log"),
                   record(0, "12-01-2026", "08:00:00", "A", "a", "f", "1"));
        tree.write(QStringLiteral("pelko-copy.log"),
                   record(7, "12-09-2026", "08:00:00", "X", "x", "f", "9"));
        tree.write(QStringLiteral("pelko.log"),
                   record(0, "12-04-2026", "08:00:00", "D", "d", "f", "4"));
        ClassLog log;
        const QString path = tree.file(QStringLiteral("pelko.log"));
        QCOMPARE(log.open(LogArchive::withArchives(path)), ClassLog::Status::Ok);
        QCOMPARE(log.size(), 4);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(log.text(row, 3), QString(QChar(u'A' + row)));
        QCOMPARE(log.wrongFieldCountLines(), 1);
    }

    void filters()
    {
        ClassLog log;
        QCOMPARE(log.open(m_path), ClassLog::Status::Ok);
        auto numbers = [&](const ClassLogFilter& filter) {
            return column(log, selectRows(log, filter), 0).join(u' ');
        };
        ClassLogFilter filter;
        filter.user = QStringLiteral("a0");
        QCOMPARE(numbers(filter), QStringLiteral("0 3 5"));
        filter.user = QStringLiteral("鈴");
        QCOMPARE(numbers(filter), QStringLiteral("7"));
        filter.user = QStringLiteral("A01");
        filter.exactUserId = true; // blanks around an ID do not make another user
        QCOMPARE(numbers(filter), QStringLiteral("0 3 5"));

        filter = {};
        filter.from = QDate(2026, 12, 2);
        filter.to = QDate(2026, 12, 2);
        QCOMPARE(numbers(filter), QStringLiteral("3 4"));
        filter = {};
        filter.fileName = QStringLiteral("jpn_dat.002");
        QCOMPARE(numbers(filter), QStringLiteral("1 3 7"));

        filter = {};
        filter.passSpeed = 25;
        filter.outcome = ClassLogFilter::Outcome::Passed; // the pass line itself passes
        QCOMPARE(numbers(filter), QStringLiteral("0 1 3 7"));
        filter.outcome = ClassLogFilter::Outcome::Failed;
        QCOMPARE(numbers(filter), QStringLiteral("4 5"));
        QCOMPARE(column(log, selectRows(log, filter), ClassLogColumns::PassColumn),
                 QStringList({QStringLiteral("不合格"), QStringLiteral("不合格")}));
    }

    void sorts()
    {
        ClassLog log;
        QCOMPARE(log.open(m_path), ClassLog::Status::Ok);
        std::vector<int> rows = allRows(log);
        sortRows(log, rows, 8, Qt::DescendingOrder, 25);
        QCOMPARE(column(log, rows, 0).join(u' '), QStringLiteral("7 3 0 1 4 5"));
        // Date and time together, not the date text (month first) nor the time alone.
        sortRows(log, rows, 1, Qt::AscendingOrder, 25);
        QCOMPARE(column(log, rows, 0).join(u' '), QStringLiteral("7 0 1 3 4 5"));
        // Equal keys keep the order they had.
        sortRows(log, rows, 12, Qt::DescendingOrder, 25);
        QCOMPARE(column(log, rows, 0).join(u' '), QStringLiteral("7 0 1 3 5 4"));
        sortRows(log, rows, 0, Qt::DescendingOrder, 25);
        QCOMPARE(column(log, rows, 0).join(u' '), QStringLiteral("7 5 4 3 1 0"));
        sortRows(log, rows, 4, Qt::AscendingOrder, 25);
        QCOMPARE(column(log, rows, 4).first(), QStringLiteral("Sato"));
        QCOMPARE(column(log, rows, 4).last(), QStringLiteral("\uFFFD@name"));
    }

    void summarizesPerUser()
    {
        ClassLog log;
        QCOMPARE(log.open(m_path), ClassLog::Status::Ok);
        std::vector<int> rows = allRows(log);
        sortRows(log, rows, 8, Qt::DescendingOrder, 25); // the table's order must not matter
        const QList<UserSummary> users = summarize(log, rows);
        QCOMPARE(users.size(), 3);
        QCOMPARE(users[0].userId, QStringLiteral("A01"));
        QCOMPARE(users[0].runs, 3);
        QCOMPARE(users[0].bestSpeed, 45.0f);
        QCOMPARE(users[0].latestSpeed, 20.0f);
        // Record 7 was written last but dated earlier: the latest run is record 1.
        QCOMPARE(users[1].userId, QStringLiteral("B02"));
        QCOMPARE(users[1].runs, 2);
        QCOMPARE(users[1].latestSpeed, 25.0f);
        QCOMPARE(users[1].userName, QStringLiteral("Suzuki"));
        QCOMPARE(users[1].bestAccuracy, 98.5f);
        QCOMPARE(users[2].runs, 1);
        QVERIFY(summarize(log, {}).isEmpty());

        // A drill's speed is no best: listed and counted, but not a record to beat.
        m_tree.write(QStringLiteral("drill.log"),
                     record(0, "12-04-2026", "09:00:00", "A01", "Sato", "弱点練習", "99") +
                         record(1, "12-04-2026", "09:05:00", "A01", "Sato", "jpn_dat.001", "30"));
        ClassLog drills;
        QCOMPARE(drills.open(m_tree.file(QStringLiteral("drill.log"))), ClassLog::Status::Ok);
        const UserSummary withDrill = summarize(drills, allRows(drills)).value(0);
        QCOMPARE(withDrill.runs, 2);
        QCOMPARE(withDrill.bestSpeed, 30.0f);
    }

    void progressData()
    {
        ClassLog log;
        QCOMPARE(log.open(m_path), ClassLog::Status::Ok);
        const std::vector<int> rows = allRows(log);
        const ProgressData nobody = progressOf(log, rows, QStringLiteral("Z99"), 25);
        QVERIFY(nobody.points.isEmpty());
        QCOMPARE(nobody.bands.size(), 6);

        const ProgressData one = progressOf(log, rows, QStringLiteral("D04"), 30);
        QCOMPARE(one.points.size(), 1);
        QCOMPARE(one.points[0].speed, 24.9f);
        QCOMPARE(one.passSpeed, 30);
        QVERIFY(pointText(one.points[0]).contains(QStringLiteral("24.9 文字/分")));

        const ProgressData sato = progressOf(log, rows, QStringLiteral("A01"), 25);
        QCOMPARE(sato.points.size(), 3);
        QCOMPARE(sato.points.last().speed, 20.0f);
        QVERIFY(sato.points[0].when < sato.points[1].when);
        const ProgressData suzuki = progressOf(log, rows, QStringLiteral("B02"), 25);
        QCOMPARE(suzuki.points.first().speed, 60.0f);
        QCOMPARE(suzuki.userName, QStringLiteral("Suzuki"));
    }

    void csvBytes()
    {
        QCOMPARE(CsvExport::field(QStringLiteral("plain")), QByteArray("plain"));
        QCOMPARE(CsvExport::field(QStringLiteral("a,b")), QByteArray("\"a,b\""));
        QCOMPARE(CsvExport::field(QStringLiteral("say \"hi\"")), QByteArray("\"say \"\"hi\"\"\""));
        QCOMPARE(CsvExport::field(QStringLiteral("two\nlines")), QByteArray("\"two\nlines\""));

        m_tree.write(QStringLiteral("small.log"),
                     record(0, "12-01-2026", "09:00:00", "A01", "佐藤", "jpn_dat.001", "30.5") +
                         record(1, "13-01-2026", "09:10:00", "x\"y", "Ito", "f", "20", "100"));
        ClassLog log;
        QCOMPARE(log.open(m_tree.file(QStringLiteral("small.log"))), ClassLog::Status::Ok);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(CsvExport::write(out, log, allRows(log), 25));
        const QByteArray expected =
            "\xEF\xBB\xBF" +
            QStringLiteral("連番,日付,時間,入力ユーザＩＤ,入力ユーザ名,使用ＰＣ名,使用ＰＣユーザ名,"
                           "データファイル名,入力速度(文字/分),正打率(%),エラー数,入力文字数,"
                           "総文字数,漢字含有率,半角文字含有率,計測時間(秒),合否\r\n"
                           "0,2026-12-01,09:00:00,A01,佐藤,PC01,taro,jpn_dat.001,30.5,98.5,3,"
                           "150,300,40,5,180,合格\r\n"
                           // Not a date: kept as written.
                           "1,13-01-2026,09:10:00,\"x\"\"y\",Ito,PC01,taro,f,20,100,3,150,300,"
                           "40,5,180,不合格\r\n")
                .toUtf8();
        QCOMPARE(out.data(), expected);
    }

    void survivesWhatTheFileDoes()
    {
        TempTree tree;
        const QString path = tree.file(QStringLiteral("pelko.log"));
        const QByteArray name = QFile::encodeName(path);
        QByteArray bytes;
        for (int i = 0; i < 20000; ++i)
            bytes += record(i, "12-01-2026", "09:00:00", "A01", "Sato", "f", "30");
        tree.write(QStringLiteral("pelko.log"), bytes);
        QVERIFY2(inChild([&] {
                     ClassLog log;
                     if (log.open(path) != ClassLog::Status::Ok || ::truncate(name, 0) != 0)
                         return false;
                     // What is shown stays readable: the table scrolled, the CSV written.
                     QBuffer out;
                     out.open(QIODevice::WriteOnly);
                     return CsvExport::write(out, log, allRows(log), 25) &&
                            out.data().count("\r\n") == 20001 && log.text(19999, 0) == u"19999";
                 }),
                 "shortened while shown");
        const qint64 memory = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
        QCOMPARE(::truncate(name, memory * 2), 0); // sparse: takes no disk
        QVERIFY2(inChild([&] { return ClassLog().open(path) == ClassLog::Status::TooLarge; }),
                 "larger than memory");
        QVERIFY(QFile::remove(path) && ::mkfifo(name, 0600) == 0);
        QVERIFY2(inChild([&] { return ClassLog().open(path) == ClassLog::Status::NotAFile; }),
                 "a FIFO");
    }

    void oddLinesAndShortReads()
    {
        TempTree tree;
        // A year with a letter is no date: shown as written, outside every period.
        QByteArray bytes = record(0, "12-01-20x6", "09:00:00", "A01", "Sato", "f", "30");
        // Longer than any record the writer makes.
        const std::string name(size_t(ClassLog::MaxLineLength), 'x');
        bytes += record(1, "12-01-2026", "09:00:00", "A01", name.c_str(), "f", "30");
        tree.write(QStringLiteral("odd.log"), bytes);
        const QString path = tree.file(QStringLiteral("odd.log"));
        ClassLog log;
        QCOMPARE(log.open(path), ClassLog::Status::Ok);
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.wrongFieldCountLines(), 1);
        QCOMPARE(ClassLogColumns::cellText(log, 0, 1, 25), QStringLiteral("12-01-20x6"));
        ClassLogFilter filter;
        filter.to = QDate(2026, 12, 31);
        QVERIFY(selectRows(log, filter).empty());

        // The file ends before the length it had: nothing of it is kept.
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        QByteArray read = "kept";
        QCOMPARE(ClassLog::readBytes(fd, QFileInfo(path).size() + 1, read),
                 ClassLog::Status::Changed);
        ::close(fd);
        QCOMPARE(read, QByteArray("kept"));
    }

    void neverReadsHalfARecord()
    {
        TempTree tree;
        tree.write(QStringLiteral("pelko.log"), {});
        QProcess writer;
        writer.start(QStringLiteral(LOGWRITER_HELPER),
                     {QStringLiteral("append"), tree.path(), QStringLiteral("pelko.log"),
                      QStringLiteral("300")});
        QVERIFY(writer.waitForStarted());
        int reads = 0;
        while (writer.state() != QProcess::NotRunning || reads == 0) {
            ClassLog log;
            QCOMPARE(log.open(tree.file(QStringLiteral("pelko.log"))), ClassLog::Status::Ok);
            QCOMPARE(log.wrongFieldCountLines(), 0);
            ++reads;
            writer.waitForFinished(5);
        }
        QCOMPARE(writer.exitCode(), 0);
        ClassLog log;
        QCOMPARE(log.open(tree.file(QStringLiteral("pelko.log"))), ClassLog::Status::Ok);
        QCOMPARE(log.size(), 300);
    }

    void waitsForAWritersLock()
    {
        QProcess holder;
        holder.start(QStringLiteral(LOGWRITER_HELPER), {QStringLiteral("hold"), m_path});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        ClassLog log;
        QCOMPARE(log.open(m_path, 200), ClassLog::Status::Busy);
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(log.open(m_path, 200), ClassLog::Status::Ok);
    }
};

QTEST_GUILESS_MAIN(tst_ClassLog)
#include "tst_ClassLog.moc"
