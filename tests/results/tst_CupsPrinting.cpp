#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "results/CertificatePrinter.h"
#include "results/CurrentPrinter.h"
#include "results/PrintQueue.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "typing/TestWindow.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef PELKO_HAVE_CUPS
#include <cups/cups.h>
#include <dlfcn.h>
#endif

// Prints through a real CUPS scheduler with a cups-pdf queue. The test starts its own
// scheduler on a private socket and stops it by its process id.
namespace
{

const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kQueue = QStringLiteral("PDF");

QString tool(const QString& name)
{
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty())
        return found;
    return QStandardPaths::findExecutable(name,
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool(program), args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

// Where cups-pdf puts the jobs of this user: the "Out" folder of its configuration.
QString outputFolder()
{
    const QString home = QString::fromLocal8Bit(getpwuid(geteuid())->pw_dir);
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QByteArray& raw : conf.readAll().split('\n')) {
            const QString line = QString::fromLocal8Bit(raw).trimmed();
            if (line.startsWith(QStringLiteral("Out ")))
                out = line.mid(4).trimmed();
        }
    }
    out.replace(QStringLiteral("${HOME}"), home);
    return out;
}

QStringList pdfFiles(const QString& folder)
{
    QStringList files;
    const auto entries = QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QFileInfo& fi : entries)
        files << fi.absoluteFilePath();
    return files;
}

CertificatePrinter sampleSheet()
{
    CertificatePrinter p;
    p.run.userId = QStringLiteral("U0001");
    p.run.userName = QStringLiteral("山田太郎");
    p.run.charsPerMinute = 86;
    p.run.accuracy = 97.5f;
    p.run.totalChars = 260;
    p.run.kanjiOrSymbolChars = 35;
    p.run.recordNumber = 3;
    p.paperCode = 9;
    return p;
}

// While set, every list of jobs the program asks for waits until the queue is idle: CUPS has
// then finished the job and, keeping no history, forgotten it, as on a busy machine.
std::atomic<bool> jobListsWaitForIdleQueue{false};

QString failureOf(CertificatePrinter sheet)
{
    const Expected<void> printed = sheet.print();
    return printed ? QString() : printed.error().message();
}

} // namespace

#ifdef PELKO_HAVE_CUPS
extern "C" int cupsGetJobs2(http_t* http, cups_job_t** jobs, const char* name, int myjobs,
                            int whichjobs)
{
    using GetJobs = int (*)(http_t*, cups_job_t**, const char*, int, int);
    static const auto real = reinterpret_cast<GetJobs>(dlsym(RTLD_NEXT, "cupsGetJobs2"));
    QDeadlineTimer deadline(60000);
    while (jobListsWaitForIdleQueue && !deadline.hasExpired()) {
        cups_job_t* active = nullptr;
        const int count = real(http, &active, name, 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(std::max(count, 0), active);
        if (count <= 0)
            break;
        QThread::msleep(100);
    }
    return real(http, jobs, name, myjobs, whichjobs);
}
#endif

class tst_CupsPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void printsThroughCups();
    void refusingQueuesAreReported();
    void printsWithoutJobHistory();
    void stoppedSchedulerIsReported();

private:
    bool startScheduler(const QString& extraConf = QString());
    void stopScheduler();
    QStringList newPdfFiles() const;

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_outFolder;
    QStringList m_filesBefore;
    bool m_outFolderExisted = false;
};

void tst_CupsPrinting::initTestCase()
{
    if (tool(QStringLiteral("cupsd")).isEmpty() || tool(QStringLiteral("lpadmin")).isEmpty() ||
        !QFile::exists(kBackend) || !QFile::exists(kPpd))
        QSKIP("needs the Debian packages cups and printer-driver-cups-pdf");
    if (tool(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("needs the Debian package poppler-utils");
    if (geteuid() != 0)
        QSKIP("cupsd with the cups-pdf backend needs root");
    QVERIFY(m_dir.isValid());
    QVERIFY2(startScheduler(), qPrintable(QString::fromLocal8Bit(m_cupsd.readAll())));

    m_outFolder = outputFolder();
    m_outFolderExisted = QFileInfo::exists(m_outFolder);
    m_filesBefore = pdfFiles(m_outFolder);
}

bool tst_CupsPrinting::startScheduler(const QString& extraConf)
{
    const QString root = m_dir.path();
    // Filters run as "lp" and must reach the temporary folder.
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
    for (const char* sub : {"etc", "spool", "state", "cache", "tmp", "log"})
        QDir(root).mkdir(QString::fromLatin1(sub));
    const QByteArray tempFolder = QFile::encodeName(root + QStringLiteral("/tmp"));
    if (const group* lp = getgrnam("lp"))
        (void)chown(tempFolder.constData(), 0, lp->gr_gid);
    chmod(tempFolder.constData(), 01770);

    const QString socket = root + QStringLiteral("/cups.sock");
    QFile conf(root + QStringLiteral("/cupsd.conf"));
    QFile files(root + QStringLiteral("/cups-files.conf"));
    if (!conf.open(QIODevice::WriteOnly) || !files.open(QIODevice::WriteOnly))
        return false;
    conf.write(QStringLiteral("LogLevel info\nListen %1\nBrowsing Off\nWebInterface No\n"
                              "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                              "  Allow all\n</Location>\n")
                   .arg(socket)
                   .toLocal8Bit() +
               extraConf.toLocal8Bit());
    files.write(QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nStateDir %1/state\n"
                               "CacheDir %1/cache\nTempDir %1/tmp\nPrintcap %1/printcap\n"
                               "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                               "PageLog %1/log/page_log\n")
                    .arg(root)
                    .toLocal8Bit());
    conf.close();
    files.close();

    // Every CUPS client of this process and its children talks to this scheduler only.
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(tool(QStringLiteral("cupsd")),
                  {QStringLiteral("-f"), QStringLiteral("-c"), conf.fileName(),
                   QStringLiteral("-s"), files.fileName()});
    if (!m_cupsd.waitForStarted(10000))
        return false;

    // Ready once it takes the queue.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (QFile::exists(socket) &&
            run(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), kQueue, QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                 QStringLiteral("-E"), QStringLiteral("-P"), kPpd})
                    .exitCode == 0)
            return run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), kQueue}).exitCode == 0;
        if (m_cupsd.state() != QProcess::Running)
            return false;
        QTest::qWait(100);
    }
    return false;
}

void tst_CupsPrinting::stopScheduler()
{
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate(); // SIGTERM to our own cupsd only
    if (!m_cupsd.waitForFinished(10000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }
}

void tst_CupsPrinting::cleanupTestCase()
{
    stopScheduler();
    // Only the files our jobs wrote.
    for (const QString& file : pdfFiles(m_outFolder)) {
        if (!m_filesBefore.contains(file))
            QFile::remove(file);
    }
    if (!m_outFolder.isEmpty() && !m_outFolderExisted)
        QDir().rmdir(m_outFolder);
}

void tst_CupsPrinting::printsThroughCups()
{
    // What the main menu and the printer dialog ask: the scheduler's own answers.
    QCOMPARE(Printers::installedNames(), QStringList{kQueue});
    QCOMPARE(Printers::defaultName(), kQueue);
    QVERIFY(PrintQueue::acceptsJobs(kQueue));
    QVERIFY(PrintQueue::lastJobId(kQueue) >= 0);
    QCOMPARE(CurrentPrinter::name(QString()), kQueue); // the system default: our queue
    QCOMPARE(failureOf(sampleSheet()), QString());

    // Completed, and its PDF written in full.
    QString written;
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        const Run pending = run(QStringLiteral("lpstat"), {QStringLiteral("-o"), kQueue});
        const Run done =
            run(QStringLiteral("lpstat"),
                {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), kQueue});
        QStringList fresh = pdfFiles(m_outFolder);
        for (const QString& f : std::as_const(m_filesBefore))
            fresh.removeAll(f);
        if (pending.out.trimmed().isEmpty() && done.out.contains(kQueue + QLatin1Char('-')) &&
            !fresh.isEmpty()) {
            written = fresh.first();
            break;
        }
        QTest::qWait(200);
    }
    QVERIFY2(!written.isEmpty(),
             qPrintable(QStringLiteral("no finished job in ") + m_outFolder + QLatin1Char('\n') +
                        run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"),
                                                       QStringLiteral("-l"), QStringLiteral("-o")})
                            .out));
    const Run info = run(QStringLiteral("pdfinfo"), {written});
    QCOMPARE(info.exitCode, 0);
    QVERIFY2(info.out.contains(QStringLiteral("Pages:           1")), qPrintable(info.out));
    QVERIFY2(info.out.contains(QStringLiteral("595 x 842 pts")), qPrintable(info.out));
}

void tst_CupsPrinting::refusingQueuesAreReported()
{
    QCOMPARE(run(QStringLiteral("cupsdisable"), {kQueue}).exitCode, 0);
    QVERIFY(failureOf(sampleSheet()).contains(QStringLiteral("停止しています")));
    QCOMPARE(run(QStringLiteral("cupsenable"), {kQueue}).exitCode, 0);

    QCOMPARE(run(QStringLiteral("cupsreject"), {kQueue}).exitCode, 0);
    QVERIFY(failureOf(sampleSheet()).contains(QStringLiteral("受け付けていません")));
    QCOMPARE(run(QStringLiteral("cupsaccept"), {kQueue}).exitCode, 0);
}

QStringList tst_CupsPrinting::newPdfFiles() const
{
    QStringList fresh = pdfFiles(m_outFolder);
    for (const QString& f : m_filesBefore)
        fresh.removeAll(f);
    return fresh;
}

void tst_CupsPrinting::printsWithoutJobHistory()
{
    // A scheduler that forgets every job as soon as it has finished, and takes one job per
    // queue at a time.
    stopScheduler();
    QVERIFY2(startScheduler(QStringLiteral("PreserveJobHistory No\nMaxJobsPerPrinter 1\n")),
             qPrintable(QString::fromLocal8Bit(m_cupsd.readAll())));
    const qsizetype printed = newPdfFiles().size();
    jobListsWaitForIdleQueue = true;
    const QString printFailure = failureOf(sampleSheet());
    jobListsWaitForIdleQueue = false;
    QCOMPARE(printFailure, QString());
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired() &&
           (newPdfFiles().size() == printed ||
            !run(QStringLiteral("lpstat"), {QStringLiteral("-o"), kQueue}).out.trimmed().isEmpty()))
        QTest::qWait(200);
    QCOMPARE(newPdfFiles().size(), printed + 1);

    // A held job fills the queue: the next one never reaches it, and that is still a failure.
    QFile held(m_dir.filePath(QStringLiteral("held.txt")));
    QVERIFY(held.open(QIODevice::WriteOnly) && held.write("held\n") == 5);
    held.close();
    QCOMPARE(run(QStringLiteral("lp"), {QStringLiteral("-d"), kQueue, QStringLiteral("-H"),
                                        QStringLiteral("indefinite"), held.fileName()})
                 .exitCode,
             0);
    const QString failure = failureOf(sampleSheet());
    QCOMPARE(run(QStringLiteral("cancel"), {QStringLiteral("-a"), kQueue}).exitCode, 0);
    QVERIFY2(failure.contains(QStringLiteral("「PDF」が印刷を受け付けませんでした")),
             qPrintable(failure));
}

void tst_CupsPrinting::stoppedSchedulerIsReported()
{
    stopScheduler();
    // No scheduler: no printer, which the main menu's certification check relies on.
    QVERIFY(Printers::installedNames().isEmpty());
    QCOMPARE(PrintQueue::lastJobId(kQueue), -1);
    Settings settings;
    RunRecord record;
    HelpViewer help;
    TestWindow window(settings, record, help);
    MessageRecorder messages;
    messages.script({MessageAnswer::Ok, MessageAnswer::Ok});
    settings.setPrinterName(kQueue); // chosen earlier in this run, now unreachable
    record.setLogged(true);
    window.printCertificate();
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.shown().at(1).title, QStringLiteral("印刷エラー"));
    QVERIFY2(messages.shown().at(1).text.contains(QStringLiteral("「PDF」が見つかりません")),
             qPrintable(messages.shown().at(1).text));
}

QTEST_MAIN(tst_CupsPrinting)
#include "tst_CupsPrinting.moc"
