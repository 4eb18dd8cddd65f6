#include "common/Cp932.h"
#include "platform/LogFile.h"
#include "results/LogArchive.h"
#include "results/LogWriter.h"
#include "results/PendingRecords.h"
#include "results/Ranking.h"
#include "settings/PassLogFormatRules.h"
#include "support/TempTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const QDateTime fixedNow(QDate(2005, 5, 20), QTime(14, 3, 12));

QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).bytes;
}

// One complete record, numbered by what the log already holds, and its logs.
struct Example {
    RunResult run;
    LogTargets targets;
};

Example example(const TempTree& tree)
{
    Example e;
    e.run.userId = QStringLiteral("A001");
    e.run.userName = QStringLiteral("Diduzi");
    e.run.computerName = QStringLiteral("PC01");
    e.run.loginName = QStringLiteral("diduzi");
    e.run.fileName = QStringLiteral("jpn_dat.1");
    e.run.charsPerMinute = 85.5f;
    e.run.accuracy = 97.25f;
    e.run.errors = 3;
    e.run.acceptedChars = 257;
    e.run.totalChars = 260;
    e.run.kanjiOrSymbolChars = 35;
    e.run.alphanumericChars = 12;
    e.run.secondsUsed = 180;
    e.targets = {tree.path(), QStringLiteral("pelko.log"), tree.path(),
                 QStringLiteral("pksub.log")};
    return e;
}

LogWriter writerOf(const Example& e)
{
    LogWriter writer(e.run, e.targets);
    writer.setClock([] { return fixedNow; });
    return writer;
}

const QByteArray exampleTail = QByteArrayLiteral(
    ",\"05-20-2005\",\"14:03:12\",\"A001\",\"Diduzi\",\"PC01\",\"diduzi\",\"jpn_dat.1\","
    "85.5,97.25,3,257,260,35,12,180");

// Holds this process's file-size limit at a number of bytes while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        struct rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    struct rlimit m_saved {
    };
};

bool processHoldsOpen(qint64 pid, const QString& path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System)) {
        if (fd.symLinkTarget() == QFileInfo(path).canonicalFilePath())
            return true;
    }
    return false;
}

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
    void textFieldsWrittenAsTheyAre_data();
    void textFieldsWrittenAsTheyAre();
    void existingLogFoundIgnoringCase();
    void formatChangeBlock_data();
    void formatChangeBlock();
    void lockHeldElsewhereFails();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void removedNewLogIsNotWrittenByAWaitingWriter();
    void concurrentWritersNumberEachRecordOnce();
    void fullLogMovesAsideOnceWhileOthersWrite();
    void classFolderLogsAreGroupWritable();
    void keptRecordsArriveFirstInOrder();
    void logThatIsNoFileKeepsTheRecord();
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
    LogWriter writer = writerOf(example(tree));
    QCOMPARE(writer.write(true), result == 0);
    if (result != 0) {
        QCOMPARE(tree.read(QStringLiteral("pelko.log")), before);
        QVERIFY(!QFile::exists(tree.file(QStringLiteral("pksub.log"))));
        return;
    }
    const QByteArray number = appended.mid(appended.lastIndexOf('\n') + 1);
    QCOMPARE(QByteArray::number(writer.run().recordNumber), number);
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
    Example e = example(tree);
    e.run.userName = userName;
    e.targets.passLogColumns = style;
    LogWriter writer = writerOf(e);
    QCOMPARE(writer.write(true), true);
    QCOMPARE(tree.read(QStringLiteral("pksub.log")), line);
}

void tst_LogWriter::passLogOffOrMissing()
{
    TempTree tree;
    Example e = example(tree);
    e.run.accuracy = 0.5f;
    LogWriter off = writerOf(e);
    QCOMPARE(off.write(false), true);
    QVERIFY(!QFile::exists(tree.file(QStringLiteral("pksub.log"))));
    QVERIFY(tree.read(QStringLiteral("pelko.log")).contains(",85.5,.5,3,"));

    e = example(tree);
    e.targets.passLogFolder = tree.file(QStringLiteral("no-such-folder"));
    LogWriter missing = writerOf(e);
    QCOMPARE(missing.write(true), false);
    QCOMPARE(missing.run().recordNumber, 1);
    QVERIFY(missing.recordWritten());
    QVERIFY(tree.read(QStringLiteral("pelko.log"))
                .endsWith(QByteArray("\r\n1" + exampleTail + "\r\n")));
}

void tst_LogWriter::textFieldsWrittenAsTheyAre_data()
{
    QTest::addColumn<int>("field"); // 0 userId, 1 userName, 2 computerName, 3 loginName, 4 fileName
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("written"); // the quoted field
    // What Shift-JIS cannot hold comes out as "?", one for a surrogate pair: the run is kept.
    QTest::newRow("emoji in the name") << 1 << QStringLiteral("Zoë 😀") << QByteArray("\"Zo? ?\"");
    QTest::newRow("PC name") << 2 << QStringLiteral("café-pc") << QByteArray("\"caf?-pc\"");
    QTest::newRow("login name") << 3 << QStringLiteral("taro😀") << QByteArray("\"taro?\"");
    QTest::newRow("comma in the file name")
        << 4 << QStringLiteral("jpn_dat,1") << QByteArray("\"jpn_dat,1\"");
    QTest::newRow("quote in the login name")
        << 3 << QStringLiteral("o\"brien") << QByteArray("\"o\"brien\"");
    QTest::newRow("comma in the PC name")
        << 2 << QStringLiteral("pc,01") << QByteArray("\"pc,01\"");
    QTest::newRow("line breaks in the file name")
        << 4 << QStringLiteral("jpn_dat.\r\n1") << QByteArray("\"jpn_dat.  1\"");
}

void tst_LogWriter::textFieldsWrittenAsTheyAre()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QByteArray, written);
    TempTree tree;
    tree.write(QStringLiteral("pelko.log"), "3,a\r\n");
    Example e = example(tree);
    QString* fields[] = {&e.run.userId, &e.run.userName, &e.run.computerName, &e.run.loginName,
                         &e.run.fileName};
    *fields[field] = value;
    LogWriter writer = writerOf(e);
    QCOMPARE(writer.write(true), true);
    const QByteArray log = tree.read(QStringLiteral("pelko.log"));
    const QByteArray quotedField = QByteArray(",") + written + ',';
    QVERIFY2(log.contains(quotedField), log.constData());
    QCOMPARE(log.count('\n'), 2);
    QVERIFY(tree.read(QStringLiteral("pksub.log")).contains(quotedField));
}

void tst_LogWriter::existingLogFoundIgnoringCase()
{
    TempTree tree;
    tree.write(QStringLiteral("Logs/PELKO.LOG"), "8,a\r\n");
    Example e = example(tree);
    e.targets.logFolder = tree.file(QStringLiteral("logs"));
    LogWriter writer = writerOf(e);
    QCOMPARE(writer.write(false), true);
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

    LogWriter writer = writerOf(example(tree));
    writer.setLockTimeout(200);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(writer.write(false), false);
    QVERIFY(timer.elapsed() < 3000);
    QCOMPARE(tree.read(QStringLiteral("pelko.log")), QByteArray("4,a\r\n"));
    QVERIFY2(writer.failure().contains(QStringLiteral("書き込み中")), qPrintable(writer.failure()));

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    LogWriter after = writerOf(example(tree));
    QCOMPARE(after.write(false), true);
    QCOMPARE(after.run().recordNumber, 5);
}

void tst_LogWriter::fileSizeLimit_data()
{
    // What each log holds before; a null array means no file.
    QTest::addColumn<QByteArray>("mainBefore");
    QTest::addColumn<QByteArray>("passBefore");
    QTest::addColumn<bool>("passLog");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("mainGrows");
    QTest::addColumn<int>("nextNumber"); // of the record written afterwards without a limit

    const QByteArray full = QByteArray("1,a\r\n").repeated(200);
    QTest::newRow("main log at the limit")
        << full << QByteArray() << false << int(full.size()) << false << 2;
    QTest::newRow("pass log at the limit")
        << QByteArray("1,a\r\n") << QByteArray(2000, 'x') << true << 2000 << true << 3;
    // A first record that does not fit (a full disk alike) must leave no empty log behind.
    QTest::newRow("new main log") << QByteArray() << QByteArray() << false << 40 << false << 0;
    QTest::newRow("new pass log") << QByteArray("1,a\r\n") << QByteArray() << true << 120 << true
                                  << 3;
}

void tst_LogWriter::fileSizeLimit()
{
    QFETCH(QByteArray, mainBefore);
    QFETCH(QByteArray, passBefore);
    QFETCH(bool, passLog);
    QFETCH(int, limit);
    QFETCH(bool, mainGrows);
    QFETCH(int, nextNumber);
    TempTree tree;
    const QString mainPath = tree.file(QStringLiteral("pelko.log"));
    const QString passPath = tree.file(QStringLiteral("pksub.log"));
    if (!mainBefore.isNull())
        tree.write(QStringLiteral("pelko.log"), mainBefore);
    if (!passBefore.isNull())
        tree.write(QStringLiteral("pksub.log"), passBefore);

    QProcess writer;
    writer.start(QStringLiteral(LOGWRITER_HELPER),
                 {QStringLiteral("limited"), QString::number(limit), tree.path(),
                  passLog ? QStringLiteral("1") : QStringLiteral("0")});
    QVERIFY(writer.waitForFinished(10000));
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit); // not ended by SIGXFSZ
    QCOMPARE(writer.exitCode(), 1);

    QCOMPARE(QFile::exists(mainPath), !mainBefore.isNull() || mainGrows);
    if (mainGrows)
        QVERIFY(tree.read(QStringLiteral("pelko.log")).size() > mainBefore.size());
    else if (!mainBefore.isNull())
        QCOMPARE(tree.read(QStringLiteral("pelko.log")), mainBefore);
    QCOMPARE(QFile::exists(passPath), !passBefore.isNull());
    if (!passBefore.isNull())
        QCOMPARE(tree.read(QStringLiteral("pksub.log")), passBefore);

    LogWriter next = writerOf(example(tree));
    QCOMPARE(next.write(passLog), true);
    QCOMPARE(int(next.run().recordNumber), nextNumber);
}

void tst_LogWriter::removedNewLogIsNotWrittenByAWaitingWriter()
{
    TempTree tree;
    const QString path = tree.file(QStringLiteral("pelko.log"));
    auto first = LogFile::openLocked(path, LogFile::Open::CreateIfMissing, 1000);
    QVERIFY(first);

    // A second writer finds the new, still empty log and waits for its lock.
    QProcess second;
    second.start(
        QStringLiteral(LOGWRITER_HELPER),
        {QStringLiteral("append"), tree.path(), QStringLiteral("pelko.log"), QStringLiteral("1")});
    QTRY_VERIFY_WITH_TIMEOUT(processHoldsOpen(second.processId(), path), 10000);

    {
        const FileSizeLimit limit(16);
        QVERIFY(!first->append(QByteArray(100, 'x')));
    }
    QVERIFY(!QFile::exists(path));
    first.reset();

    // The waiting writer must not append to the removed file, where its record would be lost.
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    const QByteArray log = tree.read(QStringLiteral("pelko.log"));
    QCOMPARE(log.count('\n'), 1);
    QVERIFY2(log.startsWith("0,"), log.constData());
}

namespace
{

// Runs writers of count records each at once; true when every one wrote all of them.
bool runWriters(const TempTree& tree, int writers, int count)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < writers; ++i) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(QStringLiteral(LOGWRITER_HELPER),
                                {QStringLiteral("append"), tree.path(), QStringLiteral("pelko.log"),
                                 QString::number(count)});
    }
    bool allWritten = true;
    for (auto& process : processes)
        allWritten &= process->waitForFinished(120000) && process->exitCode() == 0;
    return allWritten;
}

// The record numbers of a log whose every line is a whole sixteen-field record.
QList<int> recordNumbers(const QByteArray& log)
{
    QList<int> numbers;
    if (!log.endsWith("\r\n"))
        return {-1};
    for (const QByteArray& line : log.chopped(2).split('\n')) {
        const QList<QByteArray> fields = line.chopped(line.endsWith('\r') ? 1 : 0).split(',');
        numbers.append(fields.size() == 16 ? fields.first().toInt() : -1);
    }
    return numbers;
}

QList<int> range(int from, int count)
{
    QList<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(from + i);
    return numbers;
}

} // namespace

void tst_LogWriter::concurrentWritersNumberEachRecordOnce()
{
    TempTree tree;
    QVERIFY(runWriters(tree, 8, 500));
    QList<int> numbers = recordNumbers(tree.read(QStringLiteral("pelko.log")));
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers, range(0, 4000));
}

void tst_LogWriter::fullLogMovesAsideOnceWhileOthersWrite()
{
    TempTree tree;
    const QByteArray start = "32760" + exampleTail + "\r\n";
    tree.write(QStringLiteral("pelko.log"), start);
    QVERIFY(runWriters(tree, 4, 50));

    const QStringList archives = LogArchive::archivesOf(tree.file(QStringLiteral("pelko.log")));
    QCOMPARE(archives.size(), 1);
    QFile archive(archives.first());
    QVERIFY(archive.open(QIODevice::ReadOnly));
    QList<int> old = recordNumbers(archive.readAll());
    QCOMPARE(old, range(32760, 8));
    QList<int> numbers = recordNumbers(tree.read(QStringLiteral("pelko.log")));
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers, range(0, 193));

    // A writer stopped between the two steps left the full log under an archive name too.
    TempTree stopped;
    stopped.write(QStringLiteral("pelko.log"), "32767" + exampleTail + "\r\n");
    const QString full = stopped.file(QStringLiteral("pelko.log"));
    const QByteArray aside =
        QFile::encodeName(stopped.file(QStringLiteral("pelko-20260101-000000.log")));
    QVERIFY(::link(QFile::encodeName(full).constData(), aside.constData()) == 0);
    LogWriter writer = writerOf(example(stopped));
    QCOMPARE(writer.write(false), true);
    QCOMPARE(writer.run().recordNumber, 0);
    QCOMPARE(LogArchive::archivesOf(full).size(), 1);
    stopped.write(QStringLiteral("pelko.log"), "32767" + exampleTail + "\r\n");
    QVERIFY(::link(QFile::encodeName(full), QFile::encodeName(full + u'~')) == 0); // a backup's
    QVERIFY(writerOf(example(stopped)).write(false));
    QCOMPARE(LogArchive::archivesOf(full).size(), 2);
}

void tst_LogWriter::classFolderLogsAreGroupWritable()
{
    const auto restoreMask = qScopeGuard([mask = ::umask(022)] { ::umask(mask); });
    TempTree tree;
    tree.mkdir(QStringLiteral("class"));
    tree.mkdir(QStringLiteral("own"));
    QVERIFY(::chmod(QFile::encodeName(tree.file(QStringLiteral("class"))).constData(), 02775) == 0);
    for (const QString& folder : {QStringLiteral("class"), QStringLiteral("own")}) {
        Example e = example(tree);
        e.targets.logFolder = e.targets.passLogFolder = tree.file(folder);
        LogWriter writer = writerOf(e);
        QCOMPARE(writer.write(true), true);
        for (const QString& name : {QStringLiteral("/pelko.log"), QStringLiteral("/pksub.log")}) {
            struct stat st {
            };
            QVERIFY(::stat(QFile::encodeName(tree.file(folder) + name).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 0777), folder == u"class" ? 0664 : 0644);
        }
    }
}

void tst_LogWriter::keptRecordsArriveFirstInOrder()
{
    TempTree tree;
    PendingRecords waiting(tree.file(QStringLiteral("pending")));
    auto writeAs = [&](const QString& userId) {
        Example e = example(tree);
        e.targets.logFolder = e.targets.passLogFolder = tree.file(QStringLiteral("class"));
        e.run.userId = userId;
        LogWriter writer = writerOf(e);
        return waiting.write(writer, true);
    };
    // The share is away: both records wait, the message names the file and why.
    QString keptB;
    for (const QString& userId : {QStringLiteral("A"), QStringLiteral("B")}) {
        const PendingRecords::Outcome outcome = writeAs(userId);
        keptB = outcome.keptAs;
        QVERIFY(outcome.failed && outcome.kept());
        QVERIFY2(outcome.failure.contains(tree.file(QStringLiteral("class/pelko.log"))) &&
                     outcome.failure.contains(QStringLiteral("フォルダが見つかりません")),
                 qPrintable(outcome.failure));
    }
    QCOMPARE(waiting.count(), 2);

    QCOMPARE(waiting.sendNow(keptB), std::nullopt);
    // Back: asked for B's number (to print it), A goes first.
    tree.mkdir(QStringLiteral("class"));
    QCOMPARE(waiting.sendNow(keptB), std::optional<int>(1));
    QVERIFY(!writeAs(QStringLiteral("C")).failed);
    QCOMPARE(waiting.count(), 0);
    const QByteArray tail = exampleTail.mid(exampleTail.indexOf("\"Diduzi\""));
    QByteArray expected;
    for (const char* line :
         {"0,\"05-20-2005\",\"14:03:12\",\"A\",", "1,\"05-20-2005\",\"14:03:12\",\"B\",",
          "2,\"05-20-2005\",\"14:03:12\",\"C\","})
        expected += line + tail + "\r\n";
    QCOMPARE(tree.read(QStringLiteral("class/pelko.log")), expected);
    QCOMPARE(tree.read(QStringLiteral("class/pksub.log")).count('\n'), 3);
}

void tst_LogWriter::logThatIsNoFileKeepsTheRecord()
{
    TempTree tree;
    tree.write(QStringLiteral("own/.profile"), "PATH=/bin\n");
    tree.mkdir(QStringLiteral("folder.log"));
    QCOMPARE(::mkfifo(QFile::encodeName(tree.file(QStringLiteral("fifo.log"))), 0600), 0);
    QFile::link(tree.file(QStringLiteral("own/.profile")), tree.file(QStringLiteral("own.log")));
    QFile::link(QStringLiteral("/dev/null"), tree.file(QStringLiteral("null.log")));
    PendingRecords waiting(tree.file(QStringLiteral("pending")));
    for (const char* name : {"own.log", "null.log", "fifo.log", "folder.log"}) {
        LogWriter writer = writerOf({example(tree).run, {tree.path(), QLatin1String(name)}});
        QVERIFY(waiting.write(writer, true)
                    .failure.endsWith(u"ログファイルがふつうのファイルではありません"));
        QVERIFY(!Ranking().readLog(tree.file(QLatin1String(name)))); // nor waits on a FIFO
    }
    QCOMPARE(tree.read(QStringLiteral("own/.profile")), QByteArray("PATH=/bin\n"));
    QCOMPARE(waiting.count(), 4);
}

QTEST_GUILESS_MAIN(tst_LogWriter)
#include "tst_LogWriter.moc"
