// Opening the test window on a problem of 32,767 characters: loading, layout and drawing,
// then replacing the problem (start again). Run with QT_QPA_PLATFORM=offscreen.

#include "BenchStats.h"
#include "common/Cp932.h"
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "support/WindowParts.h"
#include "typing/TestWindow.h"
#include "typing/TextRows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

// Lines of 60 characters (kana, kanji, symbols, half-width letters, full-width spaces).
QByteArray problemBytes(int characters)
{
    const QString pool =
        QStringLiteral("日本語の入力速度を測ります。　漢字かな交じり文ＡＢＣabc123、"
                       "「試験」は３分間です～－");
    QString text;
    int made = 0;
    while (made < characters) {
        for (int i = 0; i < 60 && made < characters; ++i, ++made)
            text += pool.at((made * 7 + i) % pool.size());
        text += QStringLiteral("\r\n");
    }
    return Cp932::encode(text).bytes;
}

struct Opening {
    std::vector<double> opening;
    std::vector<double> openingCpu; // the same in the process's CPU time, every thread's
    std::vector<double> replacing;
    int rows = 0;
};

// Opens the test window `runs` times on a problem of `characters` characters.
Opening timeOpening(int characters, int runs)
{
    Opening times;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("jpn_dat.001")));
    if (!file.open(QIODevice::WriteOnly))
        return times;
    file.write(problemBytes(characters));
    file.close();

    Settings settings;
    settings.setPracticeFolder(dir.path());
    settings.setProblemOrder(ProblemOrder::Sequence);
    RunRecord record;
    HelpViewer help;

    TestWindow window(settings, record, help);
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        const long long cpuBefore = processCpuNs();
        timer.start();
        window.open();
        times.opening.push_back(timer.nsecsElapsed() / 1e6);
        times.openingCpu.push_back((processCpuNs() - cpuBefore) / 1e6);
        timer.restart();
        window.startOver();
        times.replacing.push_back(timer.nsecsElapsed() / 1e6);
        window.closeWindow();
    }
    window.open();
    times.rows = int(part<TextRows>(window.problemView(), "problemText")->rows().size());
    window.closeWindow();
    return times;
}

} // namespace

//   bench_draw                   human-readable figures for 32,767 characters
//   bench_draw --figures         "problem_ready_ms <median>" and its CPU time, for
//                                scripts/bench.sh
//   bench_draw --curve FILE      opening time against problem size
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MessageRecorder messages;
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == u"--curve") {
        QFile out(args.at(2));
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write("# characters open_ms replace_ms\n");
        for (int characters : {1000, 2000, 4000, 8000, 16000, 24000, 32767}) {
            const Opening times = timeOpening(characters, 5);
            out.write(QByteArray::number(characters) + ' ' +
                      QByteArray::number(median(times.opening), 'f', 1) + ' ' +
                      QByteArray::number(median(times.replacing), 'f', 1) + '\n');
        }
        return messages.texts().isEmpty() ? 0 : 1;
    }
    const Opening times = timeOpening(32767, 7);
    if (times.opening.empty() || !messages.texts().isEmpty()) {
        std::printf("unexpected message: %s\n",
                    qPrintable(messages.texts().value(0, QStringLiteral("no problem file"))));
        return 1;
    }
    if (args.size() == 2 && args.at(1) == u"--figures") {
        std::printf("problem_ready_ms %.1f\n", median(times.opening));
        std::printf("problem_ready_cpu_ms %.1f\n", median(times.openingCpu));
        return 0;
    }
    std::printf("32767 characters, %d display rows\n", times.rows);
    std::printf("open (load, layout, draw): median %.1f ms, best %.1f ms\n", median(times.opening),
                *std::min_element(times.opening.begin(), times.opening.end()));
    std::printf("start again (replace):     median %.1f ms, best %.1f ms\n",
                median(times.replacing),
                *std::min_element(times.replacing.begin(), times.replacing.end()));
    return 0;
}
