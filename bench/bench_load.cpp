// Load over time in one process: 1,000 runs in a row through the test window (space bar,
// input-method commits with an error or two, Enter at line ends, scoring and the log line),
// each followed by the menu's way back to the start, then 200 problem replacements. Prints
// the resident memory after the warm-up and at the end, the time of one run, and the
// windows, timers and child widgets before and after. Run with QT_QPA_PLATFORM=offscreen.

#include "RepeatedRuns.h"
#include "app/MainMenu.h"
#include "common/Cp932.h"
#include "platform/HelpViewer.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "typing/TestWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

constexpr int Runs = 1000;
constexpr int WarmUpRuns = 50;
constexpr int Replacements = 200;
constexpr double GrowthLimitMb = 5.0;

// Resident memory of this process, from the kernel's own account.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // The kernel gives no size for its files: read to the end, not by atEnd().
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void printCensus(const char* when, const RepeatedRuns::Census& counted)
{
    std::printf("%-22s windows %3lld  timers %3lld  child widgets %4lld  child objects %4lld\n",
                when, qint64(counted.windows), qint64(counted.timers), qint64(counted.childWidgets),
                qint64(counted.childObjects));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QDir folder(scratch.path());
    folder.mkdir(QStringLiteral("PLACTICE"));
    folder.mkdir(QStringLiteral("log"));
    qputenv("PELKO_APPDIR", scratch.path().toLocal8Bit());
    for (int i = 0; i < 4; ++i) {
        QFile file(folder.filePath(QStringLiteral("PLACTICE/jpn_dat.00%1").arg(i + 1)));
        file.open(QIODevice::WriteOnly);
        file.write(Cp932::encode(RepeatedRuns::problemText(i)).bytes);
    }

    Settings settings;
    settings.setPracticeFolder(folder.filePath(QStringLiteral("PLACTICE")));
    settings.setCertificationFolder(folder.filePath(QStringLiteral("PLACTICE")));
    settings.setLogFolder(folder.filePath(QStringLiteral("log")));
    settings.setProblemOrder(ProblemOrder::Sequence);
    settings.setDurationMinutes(5);
    settings.setPassSpeed(100);
    RunRecord record;
    record.setCertification(false);
    record.setUserId(QStringLiteral("LOAD01"));
    record.setUserName(QStringLiteral("負荷試験"));
    HelpViewer help;
    TestWindow window(settings, record, help);
    MainMenu menu(settings, record, window);
    window.setMainMenu(&menu);
    window.setReady(true);
    RepeatedRuns::BoxCounter boxes;

    window.open();
    const RepeatedRuns::Census atOpen = RepeatedRuns::census(window);
    RepeatedRuns::Census afterWarmUp;
    double warmUpMb = 0;
    int unfinished = 0;
    int nextProblems = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 warmUpEndNs = 0;
    for (int run = 1; run <= Runs; ++run) {
        // Every third run is slow and fails, so both ways back to the start are taken.
        if (!RepeatedRuns::typeRun(window, 1 + run % 2, run % 3 == 0 ? 90 : 20))
            ++unfinished;
        nextProblems += RepeatedRuns::backToStart(window) ? 1 : 0;
        if (run == WarmUpRuns) {
            warmUpMb = residentMb();
            afterWarmUp = RepeatedRuns::census(window);
            warmUpEndNs = clock.nsecsElapsed();
        }
    }
    const qint64 runsNs = clock.nsecsElapsed();
    const double afterRunsMb = residentMb();
    const RepeatedRuns::Census afterRuns = RepeatedRuns::census(window);

    clock.restart();
    for (int i = 0; i < Replacements; ++i)
        RepeatedRuns::chooseFromMenu(window, i);
    const qint64 replacementsNs = clock.nsecsElapsed();
    const double endMb = residentMb();
    const RepeatedRuns::Census atEnd = RepeatedRuns::census(window);
    const qsizetype logLines =
        RepeatedRuns::logLines(folder.filePath(QStringLiteral("log/pelko.log")));

    std::printf("runs %d (next problem %d, start over %d), replacements %d\n", Runs, nextProblems,
                Runs - nextProblems, Replacements);
    std::printf("log lines %lld, closing boxes %d, other boxes %d, unfinished runs %d\n",
                qint64(logLines), boxes.finished, boxes.other, unfinished);
    if (boxes.other > 0)
        std::printf("first other box: %s\n", qPrintable(boxes.firstOther));
    std::printf("time per run: %.2f ms (after warm-up %.2f ms), per replacement: %.2f ms\n",
                double(runsNs) / Runs / 1e6,
                double(runsNs - warmUpEndNs) / (Runs - WarmUpRuns) / 1e6,
                double(replacementsNs) / Replacements / 1e6);
    std::printf("RSS after %d runs: %.1f MB, after %d runs: %.1f MB, at the end: %.1f MB\n",
                WarmUpRuns, warmUpMb, Runs, afterRunsMb, endMb);
    const double growth = endMb - warmUpMb;
    std::printf("RSS growth after the warm-up: %+.1f MB (limit %.0f)\n", growth, GrowthLimitMb);
    printCensus("opened:", atOpen);
    printCensus("after the warm-up:", afterWarmUp);
    printCensus("after the runs:", afterRuns);
    printCensus("at the end:", atEnd);

    const bool countsFlat = afterWarmUp == afterRuns && afterWarmUp == atEnd;
    const bool runsRight =
        logLines == Runs && boxes.finished == Runs && boxes.other == 0 && unfinished == 0;
    const bool memoryFlat = warmUpMb > 0 && endMb > 0 && growth <= GrowthLimitMb;
    const bool ok = memoryFlat && countsFlat && runsRight;
    std::printf("verdict: %s (memory %s, windows/timers/children %s, runs and log %s)\n",
                ok ? "ok" : "FAILED", memoryFlat ? "flat" : "grows or unread",
                countsFlat ? "unchanged" : "changed", runsRight ? "right" : "wrong");
    window.closeWindow();
    return ok ? 0 : 1;
}
