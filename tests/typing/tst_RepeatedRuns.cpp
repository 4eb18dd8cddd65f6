#include "RepeatedRuns.h"
#include "app/MainMenu.h"
#include "platform/HelpViewer.h"
#include "support/SharedState.h"
#include "support/TempTree.h"

#include <QTest>

#include <memory>

using RepeatedRuns::Census;

class tst_RepeatedRuns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void runsInARowLeaveNothingBehind();
    void replacementsInARowLeaveNothingBehind();

private:
    void compareCensus(const Census& now, const Census& before);

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<HelpViewer> m_help;
    std::unique_ptr<TestWindow> m_window;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<RepeatedRuns::BoxCounter> m_boxes;
};

void tst_RepeatedRuns::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("PLACTICE"));
    m_tree->mkdir(QStringLiteral("log"));
    for (int i = 0; i < 3; ++i)
        m_tree->writeCp932(QStringLiteral("PLACTICE/jpn_dat.00%1").arg(i + 1),
                           RepeatedRuns::problemText(i));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_state = std::make_unique<SharedState>();
    Settings& settings = m_state->settings;
    settings.setPracticeFolder(m_tree->file(QStringLiteral("PLACTICE")));
    settings.setLogFolder(m_tree->file(QStringLiteral("log")));
    settings.setProblemOrder(ProblemOrder::Sequence);
    settings.setDurationMinutes(5);
    settings.setPassSpeed(100);
    m_state->record.setCertification(false);
    m_state->record.setUserId(QStringLiteral("U01"));
    m_help = std::make_unique<HelpViewer>();
    m_window = std::make_unique<TestWindow>(settings, m_state->record, *m_help);
    m_menu = std::make_unique<MainMenu>(settings, m_state->record, *m_window);
    m_window->setMainMenu(m_menu.get());
    m_window->setReady(true);
    m_boxes = std::make_unique<RepeatedRuns::BoxCounter>();
    m_window->open();
    QVERIFY(m_window->problem());
}

void tst_RepeatedRuns::cleanup()
{
    m_menu.reset();
    m_window.reset();
    m_boxes.reset();
    m_help.reset();
    m_state.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_RepeatedRuns::compareCensus(const Census& now, const Census& before)
{
    QCOMPARE(now.windows, before.windows);
    QCOMPARE(now.timers, before.timers);
    QCOMPARE(now.childWidgets, before.childWidgets);
    QCOMPARE(now.childObjects, before.childObjects);
}

void tst_RepeatedRuns::runsInARowLeaveNothingBehind()
{
    constexpr int runs = 30;
    TestWindow& window = *m_window;
    Census before;
    int nextProblems = 0;
    for (int run = 1; run <= runs; ++run) {
        // Every third run is too slow to pass and goes back through やり直し.
        const int mistakes = 1 + run % 2;
        QVERIFY2(RepeatedRuns::typeRun(window, mistakes, run % 3 == 0 ? 90 : 20),
                 qPrintable(QString::number(run)));
        // Nothing of the run before carries over into this one's result.
        QCOMPARE(m_state->record.errors(), mistakes);
        QCOMPARE(m_state->record.recordNumber(), run - 1);
        nextProblems += RepeatedRuns::backToStart(window) ? 1 : 0;
        // What the first run leaves in place once (menus' popups, caches) is no leak.
        if (run == 1)
            before = RepeatedRuns::census(window);
    }
    compareCensus(RepeatedRuns::census(window), before);
    QCOMPARE(nextProblems, runs - runs / 3);
    QVERIFY(!window.isCountingDown());
    QVERIFY(window.inputPane() && !window.inputPane()->checker().started());

    QCOMPARE(m_boxes->finished, runs);
    QCOMPARE(m_boxes->firstOther, QString());
    QCOMPARE(RepeatedRuns::logLines(m_tree->file(QStringLiteral("log/pelko.log"))), runs);
}

void tst_RepeatedRuns::replacementsInARowLeaveNothingBehind()
{
    constexpr int replacements = 20;
    TestWindow& window = *m_window;
    QCOMPARE(RepeatedRuns::chooseFromMenu(window, 0), QStringLiteral("jpn_dat.001"));
    const Census before = RepeatedRuns::census(window);
    for (int i = 1; i <= replacements; ++i) {
        const QString chosen = RepeatedRuns::chooseFromMenu(window, i);
        QCOMPARE(window.problem()->fileName(), chosen);
        QCOMPARE(window.problemFileName(), chosen);
    }
    compareCensus(RepeatedRuns::census(window), before);
    QVERIFY(window.isFollowingProblemWindow());
    QCOMPARE(m_boxes->finished + m_boxes->other, 0);

    // The window is as usable as after the first load.
    QVERIFY(RepeatedRuns::typeRun(window, 1, 20));
    QCOMPARE(RepeatedRuns::logLines(m_tree->file(QStringLiteral("log/pelko.log"))), 1);
}

QTEST_MAIN(tst_RepeatedRuns)
#include "tst_RepeatedRuns.moc"
