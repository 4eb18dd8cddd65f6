// Prints how the log writer and the ranking cope with a main log of a million records.
//   bench_logs [records]          runs everything (default 1000000)
//   bench_logs --rank <log file>  ranks one log and exits (run as a child to measure memory)
//   bench_logs --figures [records]  medians of several rounds as "name value" lines, with the
//                                   peers (sort | head, wc -l) timed on the same file
//   bench_logs --curve FILE       LogWrite and ranking against log size (0 … 1,000,000)
#include "BenchStats.h"
#include "results/LogWriter.h"
#include "results/Ranking.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace
{

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0; // the child's and its waited-for children's, user and system
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
    const auto cpu = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    run.cpuSeconds = cpu(usage.ru_utime) + cpu(usage.ru_stime);
    run.maxRssKb = usage.ru_maxrss;
    run.status = status;
    return run;
}

// Appends records [from, to) of a reproducible big log.
void writeBigLog(const QString& path, int to, int from = 0)
{
    QFile file(path);
    if (!file.open(from == 0 ? QIODevice::WriteOnly : QIODevice::Append))
        return;
    QRandomGenerator random(4711 + quint32(from));
    QByteArray chunk;
    for (int i = from; i < to; ++i) {
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

struct PerWrite {
    double seconds = -1;
    double cpuSeconds = -1; // the thread's own time: a busy machine's waits left out
};

PerWrite perWrite(const QString& folder, int writes)
{
    QElapsedTimer timer;
    const long long cpuBefore = threadCpuNs();
    timer.start();
    for (int i = 0; i < writes; ++i) {
        RunResult run;
        run.userId = QStringLiteral("BENCH");
        run.charsPerMinute = 100;
        LogWriter writer(run, {folder, QStringLiteral("pelko.log")});
        if (!writer.write(false)) {
            std::fprintf(stderr, "LogWrite failed\n");
            return {};
        }
    }
    return {timer.nsecsElapsed() / 1e9 / writes, (threadCpuNs() - cpuBefore) / 1e9 / writes};
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

struct Peers {
    double rankingSeconds = 0;
    double rankingCpuSeconds = 0;
    double rankingPeakMb = 0;
    double sortSeconds = 0;
    double countSeconds = 0;
    double countCpuSeconds = 0;
    bool ok = true;
};

// The ranking and its peers, in turns, `rounds` times on one file: medians, and the worst
// peak memory of the ranking.
Peers timeRanking(const QString& log, int rounds)
{
    const QByteArray logArg = QFile::encodeName(log);
    const char* rankArgv[] = {"/proc/self/exe", "--rank", logArg.constData(), nullptr};
    const QByteArray sortLine =
        "LC_ALL=C sort -t, -k9,9gr -k10,10gr <'" + logArg + "' | head -10 >/dev/null";
    const char* sortArgv[] = {"/bin/sh", "-c", sortLine.constData(), nullptr};
    const QByteArray countLine = "wc -l <'" + logArg + "' >/dev/null";
    const char* countArgv[] = {"/bin/sh", "-c", countLine.constData(), nullptr};
    std::vector<double> ranking, sorting, counting, rankingCpu, countingCpu;
    Peers peers;
    for (int round = 0; round < rounds; ++round) {
        const ChildRun ranked = runChild(rankArgv);
        peers.ok = peers.ok && ranked.status == 0;
        ranking.push_back(ranked.seconds);
        rankingCpu.push_back(ranked.cpuSeconds);
        peers.rankingPeakMb = std::max(peers.rankingPeakMb, ranked.maxRssKb / 1024.0);
        sorting.push_back(runChild(sortArgv).seconds);
        const ChildRun counted = runChild(countArgv);
        counting.push_back(counted.seconds);
        countingCpu.push_back(counted.cpuSeconds);
    }
    peers.rankingSeconds = median(ranking);
    peers.sortSeconds = median(sorting);
    peers.countSeconds = median(counting);
    peers.rankingCpuSeconds = median(rankingCpu);
    peers.countCpuSeconds = median(countingCpu);
    return peers;
}

int printFigures(int records)
{
    QTemporaryDir dir;
    const QString bigFolder = dir.filePath(QStringLiteral("big"));
    const QString emptyFolder = dir.filePath(QStringLiteral("empty"));
    QDir().mkpath(bigFolder);
    const QString bigLog = bigFolder + QStringLiteral("/pelko.log");
    writeBigLog(bigLog, records);

    constexpr int rounds = 5;
    constexpr int writes = 200;
    std::vector<double> empty, big, emptyCpu, bigCpu;
    for (int round = 0; round < rounds; ++round) {
        // A fresh empty log each round: the same 200 writes as on the big one.
        QDir(emptyFolder).removeRecursively();
        QDir().mkpath(emptyFolder);
        const PerWrite onEmpty = perWrite(emptyFolder, writes);
        const PerWrite onBig = perWrite(bigFolder, writes);
        empty.push_back(onEmpty.seconds);
        big.push_back(onBig.seconds);
        emptyCpu.push_back(onEmpty.cpuSeconds);
        bigCpu.push_back(onBig.cpuSeconds);
    }
    const Peers peers = timeRanking(bigLog, rounds);
    std::printf("log_records %d\n", records);
    std::printf("logwrite_empty_us %.1f\n", median(empty) * 1e6);
    std::printf("logwrite_big_us %.1f\n", median(big) * 1e6);
    std::printf("logwrite_empty_cpu_us %.1f\n", median(emptyCpu) * 1e6);
    std::printf("logwrite_big_cpu_us %.1f\n", median(bigCpu) * 1e6);
    std::printf("ranking_s %.3f\n", peers.rankingSeconds);
    std::printf("ranking_peak_mb %.1f\n", peers.rankingPeakMb);
    std::printf("sort_head_s %.3f\n", peers.sortSeconds);
    std::printf("wc_l_s %.3f\n", peers.countSeconds);
    std::printf("ranking_cpu_s %.3f\n", peers.rankingCpuSeconds);
    std::printf("wc_l_cpu_s %.3f\n", peers.countCpuSeconds);
    return peers.ok ? 0 : 1;
}

int writeCurve(const char* path)
{
    FILE* out = std::fopen(path, "w");
    if (!out)
        return 1;
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("pelko.log"));
    std::fprintf(out, "# records logwrite_us ranking_s\n");
    int written = 0;
    for (int records : {0, 100000, 250000, 500000, 750000, 1000000}) {
        writeBigLog(log, records, written);
        written = records;
        std::vector<double> writes;
        for (int round = 0; round < 3; ++round)
            writes.push_back(perWrite(dir.path(), 100).seconds);
        written += 300; // the writes above appended their records
        const Peers peers = timeRanking(log, 3);
        std::fprintf(out, "%d %.1f %.3f\n", records, median(writes) * 1e6, peers.rankingSeconds);
    }
    std::fclose(out);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--rank") == 0)
        return rankOnly(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "--figures") == 0)
        return printFigures(argc >= 3 ? std::atoi(argv[2]) : 1000000);
    if (argc == 3 && std::strcmp(argv[1], "--curve") == 0)
        return writeCurve(argv[2]);
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
    const double emptyLogSeconds = perWrite(emptyFolder, writes).seconds;
    const double bigLogSeconds = perWrite(bigFolder, writes).seconds;
    std::printf("LogWrite, empty log:       %8.1f us per record\n", emptyLogSeconds * 1e6);
    std::printf("LogWrite, %d-record log: %8.1f us per record  (ratio %.2f, target <= 1.2)\n",
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
