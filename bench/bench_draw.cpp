// Opening the test window on a problem of 32,767 characters: loading, layout and drawing,
// then replacing the problem (start again). Run with QT_QPA_PLATFORM=offscreen.

#include "common/Cp932.h"
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "typing/PaintedRows.h"
#include "typing/TestWindow.h"

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MessageRecorder messages;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("jpn_dat.001")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(problemBytes(32767));
    file.close();

    Settings settings;
    settings.setPracticeFolder(dir.path());
    settings.setProblemOrder(QStringLiteral("SEQUENCE"));
    RunRecord record;
    HelpViewer help;

    TestWindow window(settings, record, help);
    std::vector<double> opening;
    std::vector<double> replacing;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        window.open();
        opening.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        window.startOver();
        replacing.push_back(timer.nsecsElapsed() / 1e6);
        window.closeWindow();
    }
    window.open();
    const int rows = int(window.problemView()->m_problemText->printedRows().size());
    window.closeWindow();
    if (!messages.texts().isEmpty()) {
        std::printf("unexpected message: %s\n", qPrintable(messages.texts().first()));
        return 1;
    }
    std::printf("32767 characters, %d display rows\n", rows);
    std::printf("open (load, layout, draw): median %.1f ms, best %.1f ms\n", median(opening),
                *std::min_element(opening.begin(), opening.end()));
    std::printf("start again (replace):     median %.1f ms, best %.1f ms\n", median(replacing),
                *std::min_element(replacing.begin(), replacing.end()));
    return 0;
}
