// Typing a long problem through synthesized input-method commits, one character each:
// the time of one character (check, input box, status line) and how a run grows with length.
// Run with QT_QPA_PLATFORM=offscreen.

#include "BenchStats.h"
#include "common/Cp932.h"
#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "support/WindowParts.h"
#include "typing/InputBox.h"
#include "typing/InputPane.h"
#include "typing/ProblemView.h"
#include "typing/TestHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

struct NoHost : TestHost {
    void startCountdown() override {}
    void stopCountdown() override {}
    void setDurationMenuEnabled(bool) override {}
    void showNextProblemMenu() override {}
    void enablePrintMenus() override {}
    int secondsLeft() const override { return 180; }
};

// A problem of about `characters` characters in lines of 60 (kana, kanji, symbols,
// half-width letters and full-width spaces), so rows wrap and lines end.
QStringList problemLines(int characters)
{
    const QString pool =
        QStringLiteral("日本語の入力速度を測ります。　漢字かな交じり文ＡＢＣabc123、"
                       "「試験」は３分間です～－");
    QStringList lines;
    int made = 0;
    while (made < characters) {
        QString line;
        for (int i = 0; i < 60 && made < characters; ++i, ++made)
            line += pool.at((made * 7 + i) % pool.size());
        lines << line;
    }
    return lines;
}

struct Figures {
    double medianUs = 0;
    double p99Us = 0;
    double cpuP99Us = 0; // the same characters in CPU time
    double totalMs = 0;
    std::vector<qint64> perCharacterNs; // in typing order
};

double percentileUs(std::vector<qint64> values, int percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return double(values[std::min(values.size() - 1, values.size() * size_t(percent) / 100)]) / 1e3;
}

// With paintEach, every character is drawn before the next one comes, as at a typist's pace.
Figures typeProblem(const Settings& settings, int characters, bool paintEach = false)
{
    QTemporaryDir dir;
    const QStringList lines = problemLines(characters);
    QFile file(dir.filePath(QStringLiteral("jpn_dat.001")));
    file.open(QIODevice::WriteOnly);
    file.write(Cp932::encode(lines.join(QStringLiteral("\r\n"))).bytes);
    file.close();
    Problem problem;
    if (!problem.loadFrom(dir.path(), QString(), QStringLiteral("SEQUENCE"))) {
        std::fprintf(stderr, "the problem did not load\n");
        return {};
    }

    RunRecord record;
    const QString summary =
        QStringLiteral("総文字数:30000文字  漢字率:20%  英数記号率:30%  半角率:10%");
    NoHost host;
    ProblemView problemView(settings);
    InputPane input(settings, record);
    input.setProblem(&problem, &summary);
    input.setProblemView(&problemView);
    input.setHost(&host);
    input.prepareRun();
    input.setRowHeights(4, 17);
    problemView.show();
    input.show();
    QCoreApplication::processEvents();

    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(&input, &space);

    std::vector<qint64> perCharacter;
    perCharacter.reserve(size_t(characters));
    std::vector<qint64> cpuPerCharacter;
    cpuPerCharacter.reserve(size_t(characters));
    QElapsedTimer total;
    QElapsedTimer oneCharacter;
    total.start();
    for (const QString& line : lines) {
        for (QChar c : line) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            const long long cpuBefore = threadCpuNs();
            oneCharacter.start();
            QApplication::sendEvent(part<InputBox>(input, "inputBox"), &commit);
            if (paintEach)
                QCoreApplication::processEvents();
            perCharacter.push_back(oneCharacter.nsecsElapsed());
            cpuPerCharacter.push_back(threadCpuNs() - cpuBefore);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(part<InputBox>(input, "inputBox"), &enter);
        QCoreApplication::processEvents(); // painting between lines, as a user's pauses allow
    }
    Figures figures;
    figures.totalMs = double(total.nsecsElapsed()) / 1e6;
    if (record.acceptedChars() + lines.size() < characters || record.errors() != 0)
        std::fprintf(stderr, "the run went wrong: %d accepted, %d errors\n",
                     int(record.acceptedChars()), int(record.errors()));
    figures.medianUs = percentileUs(perCharacter, 50);
    figures.p99Us = percentileUs(perCharacter, 99);
    figures.cpuP99Us = percentileUs(cpuPerCharacter, 99);
    figures.perCharacterNs = std::move(perCharacter);
    return figures;
}

// "name value" lines for scripts/bench.sh: the median of several runs of 30,000 characters.
void printFigures(const Settings& settings, int runs)
{
    std::vector<double> medians;
    std::vector<double> p99s;
    std::vector<double> cpuP99s;
    for (int run = 0; run < runs; ++run) {
        const Figures figures = typeProblem(settings, 30000);
        medians.push_back(figures.medianUs);
        p99s.push_back(figures.p99Us);
        cpuP99s.push_back(figures.cpuP99Us);
    }
    std::printf("per_char_median_us %.1f\n", median(medians));
    std::printf("per_char_p99_us %.1f\n", median(p99s));
    std::printf("per_char_cpu_p99_us %.1f\n", median(cpuP99s));
}

// Curves: the run's cost against problem size, and the time of each character across one
// 30,000-character run in blocks of 500 (it must stay flat).
void writeCurves(const Settings& settings, const char* sizePath, const char* runPath)
{
    if (FILE* out = std::fopen(sizePath, "w")) {
        std::fprintf(out, "# characters total_ms median_us p99_us\n");
        for (int characters : {1000, 2000, 4000, 8000, 16000, 24000, 32767}) {
            const Figures figures = typeProblem(settings, characters);
            std::fprintf(out, "%d %.1f %.2f %.2f\n", characters, figures.totalMs, figures.medianUs,
                         figures.p99Us);
        }
        std::fclose(out);
    }
    if (FILE* out = std::fopen(runPath, "w")) {
        const Figures figures = typeProblem(settings, 30000);
        std::fprintf(out, "# character median_us p99_us\n");
        constexpr size_t block = 500;
        for (size_t from = 0; from + block <= figures.perCharacterNs.size(); from += block) {
            const std::vector<qint64> part(figures.perCharacterNs.begin() + long(from),
                                           figures.perCharacterNs.begin() + long(from + block));
            std::fprintf(out, "%zu %.2f %.2f\n", from + block, percentileUs(part, 50),
                         percentileUs(part, 99));
        }
        std::fclose(out);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Settings settings;
    QTemporaryDir logs;
    settings.setLogFolder(logs.path());
    MessageRecorder boxes; // the closing box answers itself

    //   bench_input --figures [runs]              per-character median and p99, "name value"
    //   bench_input --curves SIZE_FILE RUN_FILE   data for the growth curves
    //   bench_input --painted [characters]        one run, each character drawn (profiling)
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 2 && args.at(1) == u"--figures") {
        printFigures(settings, args.size() >= 3 ? args.at(2).toInt() : 3);
        return 0;
    }
    if (args.size() >= 2 && args.at(1) == u"--painted") {
        const Figures figures =
            typeProblem(settings, args.size() >= 3 ? args.at(2).toInt() : 3000, true);
        std::printf("per_char_painted_median_us %.1f\nper_char_painted_p99_us %.1f\n",
                    figures.medianUs, figures.p99Us);
        return 0;
    }
    if (args.size() == 4 && args.at(1) == u"--curves") {
        writeCurves(settings, argv[2], argv[3]);
        return 0;
    }
    const Figures small = typeProblem(settings, 3000);
    const Figures large = typeProblem(settings, 30000);
    std::printf("characters  median_us  p99_us  total_ms\n");
    std::printf("%10d  %9.1f  %6.1f  %8.1f\n", 3000, small.medianUs, small.p99Us, small.totalMs);
    std::printf("%10d  %9.1f  %6.1f  %8.1f\n", 30000, large.medianUs, large.p99Us, large.totalMs);
    std::printf("30000 / 3000 run cost: %.2f (limit 12)\n", large.totalMs / small.totalMs);
    return 0;
}
