// Prints how the log writer and the ranking cope with a main log of a million records.
//   bench_logs [records]          runs everything (default 1000000)
//   bench_logs --rank <log file>  ranks one log and exits (run as a child to measure memory)
#include "results/LogWriter.h"
#include "results/Ranking.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace
{

struct ChildRun {
    double seconds = 0;
    long maxRssKb = 0;
    int status = -1;
};

ChildRun runChild(const char* const argv[])
{
    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return run;
    struct rusage usage {
    };
    int status = 0;
    ::wait4(pid, &status, 0, &usage);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.maxRssKb = usage.ru_maxrss;
    run.status = status;
    return run;
}

void writeBigLog(const QString& path, int records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QRandomGenerator random(4711);
    QByteArray chunk;
    for (int i = 0; i < records; ++i) {
        const QByteArray id = "U" + QByteArray::number(random.bounded(50000));
        chunk += QByteArray::number(i % 32000) + ",\"05-20-2005\",\"14:03:12\",\"" + id +
                 "\",\"name" + id + "\",\"PC01\",\"user\",\"jpn_dat.1\"," +
                 QByteArray::number(random.bounded(3000) / 10.0) + ',' +
                 QByteArray::number(random.bounded(1000) / 10.0) + ",3,257,260,35,12,180\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
}

double secondsPerWrite(const QString& folder, int writes)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < writes; ++i) {
        LogWriter writer;
        writer.logFolder = folder;
        writer.logName = QStringLiteral("pelko.log");
        writer.userId = QStringLiteral("BENCH");
        writer.charsPerMinute = 100;
        if (writer.write(false) != 0) {
            std::fprintf(stderr, "LogWrite failed\n");
            return -1;
        }
    }
    return timer.nsecsElapsed() / 1e9 / writes;
}

int rankOnly(const char* path)
{
    Ranking ranking;
    ranking.showsRepeats = true;
    if (!ranking.readLog(QString::fromLocal8Bit(path)))
        return 1;
    for (int row = 0; row < 3; ++row) {
        const RankRowText rowText = ranking.rowText(row);
        std::fprintf(stderr, "  %d: %s %s %s\n", row + 1, qPrintable(rowText.userId),
                     qPrintable(rowText.speed), qPrintable(rowText.accuracy));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--rank") == 0)
        return rankOnly(argv[2]);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;

    QTemporaryDir dir;
    const QString bigFolder = dir.filePath(QStringLiteral("big"));
    const QString emptyFolder = dir.filePath(QStringLiteral("empty"));
    QDir().mkpath(bigFolder);
    QDir().mkpath(emptyFolder);
    const QString bigLog = bigFolder + QStringLiteral("/pelko.log");
    writeBigLog(bigLog, records);
    std::printf("main log: %d records, %.1f MB\n", records, QFileInfo(bigLog).size() / 1e6);

    constexpr int writes = 200;
    const double emptyLogSeconds = secondsPerWrite(emptyFolder, writes);
    const double bigLogSeconds = secondsPerWrite(bigFolder, writes);
    std::printf("LogWrite, empty log:       %8.1f us per record\n", emptyLogSeconds * 1e6);
    std::printf("LogWrite, %d-record log: %8.1f us per record  (ratio %.2f, target <= 2)\n",
                records, bigLogSeconds * 1e6, bigLogSeconds / emptyLogSeconds);

    const QByteArray logArg = QFile::encodeName(bigLog);
    const char* rankArgv[] = {"/proc/self/exe", "--rank", logArg.constData(), nullptr};
    const ChildRun ranked = runChild(rankArgv);
    const QByteArray pipeline =
        "LC_ALL=C sort -t, -k9,9gr -k10,10gr <'" + logArg + "' | head -10 >/dev/null";
    const char* sortArgv[] = {"/bin/sh", "-c", pipeline.constData(), nullptr};
    const ChildRun sorted = runChild(sortArgv);
    std::printf("ranking:                   %8.2f s, peak memory %6.1f MB (target < 50 MB)%s\n",
                ranked.seconds, ranked.maxRssKb / 1024.0, ranked.status == 0 ? "" : "  FAILED");
    std::printf("sort | head -10:           %8.2f s, peak memory %6.1f MB\n", sorted.seconds,
                sorted.maxRssKb / 1024.0);
    return 0;
}
