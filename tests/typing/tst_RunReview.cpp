#include "common/Cp932.h"
#include "problems/CharClass.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "typing/DrillBuilder.h"
#include "typing/InputChecker.h"
#include "typing/RunReview.h"

#include <QTest>

namespace
{

struct NoView : InputCheckerView {
    void appendAccepted(const QString&) override {}
    void moveRowToTypedRows(const QString&, bool, bool) override {}
    void moveCursor(qreal, qreal) override {}
    void showHint(const QString&) override {}
    void showStatus(const QString&) override {}
};

// A run over a problem held in memory, with a clock the test moves.
struct Run {
    Problem problem;
    RunRecord record;
    int strokes = 0;
    NoView view;
    InputChecker checker{strokes, view};
    qint64 nowMs = 0;

    explicit Run(const QStringList& lines)
    {
        QVERIFY(problem.setLines(DrillBuilder::DrillName, lines));
        checker.setMeasure([](QStringView text) { return qreal(Cp932::byteLength(text)) * 10; },
                           [] { return 800.0; });
        checker.start(&problem, record, QString());
        checker.trace().setClock([this] { return nowMs; });
    }
    // One commit of the input method after `keys` key presses, `ms` after the last one.
    void commit(const QString& text, int keys = 0, qint64 ms = 0)
    {
        nowMs += ms;
        for (int i = 0; i < keys; ++i)
            checker.countStroke();
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
            checker.typeCharacter(QStringView(text).mid(i, length));
            i += length;
        }
    }
    void enter(int keys = 1)
    {
        for (int i = 0; i < keys; ++i)
            checker.countStroke();
        checker.enter();
    }
    RunReview::Review review() const { return RunReview::review(checker.trace()); }
    QStringList lines() const
    {
        QStringList texts;
        for (const ProblemLine& line : problem)
            texts.append(line.text());
        return texts;
    }
};

RunReview::Missed missedAt(const QString& expected, qint32 line, qint32 position)
{
    RunReview::Missed missed;
    missed.expected = expected;
    missed.count = 1;
    missed.places = {{line, position}};
    return missed;
}

} // namespace

class tst_RunReview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void missesCountOncePerRefusal();
    void wrongKanjiInOneCommit();
    void missesWhereEnterIsDue();
    void strokesAndTimesPerPlace();
    void drillFromMisses();
    void drillWhereEnterWasDue();
    void drillRunsAsAProblemInMemory();
};

void tst_RunReview::missesCountOncePerRefusal()
{
    Run run({QStringLiteral("がっこう")});
    run.commit(QStringLiteral("か"), 2);
    run.commit(QStringLiteral("か"), 2); // the same mistake again, after new keys
    run.commit(QStringLiteral("が"), 3);
    const RunReview::Review review = run.review();
    QCOMPARE(review.missed.size(), 1);
    const RunReview::Missed& missed = review.missed.first();
    QCOMPARE(missed.expected, QStringLiteral("が"));
    QCOMPARE(missed.charClass, CharClass::Kana);
    QCOMPARE(missed.count, 2);
    QCOMPARE(missed.count, qint32(run.record.errors()));
    QCOMPARE(missed.typedInstead, QStringList{QStringLiteral("か")}); // listed once
    QCOMPARE(run.record.acceptedChars(), 1); // the counts are the checker's as before
    QCOMPARE(run.strokes, 7);
}

void tst_RunReview::wrongKanjiInOneCommit()
{
    // One wrong kanji at the end of a phrase: one miss, the kanji typed instead.
    Run tail({QStringLiteral("日本語です")});
    tail.commit(QStringLiteral("日本誤"), 9);
    QCOMPARE(tail.record.errors(), 1);
    RunReview::Review review = tail.review();
    QCOMPARE(review.missed.size(), 1);
    QCOMPARE(review.missed.first().expected, QStringLiteral("語"));
    QCOMPARE(review.missed.first().charClass, CharClass::KanjiOrSymbol);
    QCOMPARE(review.missed.first().typedInstead, QStringList{QStringLiteral("誤")});

    // A wrong first kanji refuses the whole commit: a miss for each of its characters,
    // the commit shown as one piece; a second commit is a second piece.
    Run head({QStringLiteral("日本語です")});
    head.commit(QStringLiteral("二本語"), 9);
    head.commit(QStringLiteral("荷"), 4);
    head.commit(QStringLiteral("日本語"), 4);
    review = head.review();
    QCOMPARE(review.missed.size(), 1);
    QCOMPARE(review.missed.first().expected, QStringLiteral("日"));
    QCOMPARE(review.missed.first().count, 4);
    QCOMPARE(review.missed.first().count, qint32(head.record.errors()));
    QCOMPARE(review.missed.first().typedInstead,
             (QStringList{QStringLiteral("二本語"), QStringLiteral("荷")}));
}

void tst_RunReview::missesWhereEnterIsDue()
{
    // A character where Enter is due, at a line's end and on an empty line.
    Run run({QStringLiteral("あい"), QString(), QStringLiteral("う")});
    run.commit(QStringLiteral("あい。"), 4);
    run.enter();
    run.commit(QStringLiteral("う"), 1);
    run.enter();
    run.commit(QStringLiteral("う"), 1);
    const RunReview::Review review = run.review();
    QCOMPARE(review.missed.size(), 1);
    const RunReview::Missed& missed = review.missed.first();
    QVERIFY(missed.expected.isEmpty());
    QCOMPARE(missed.count, 2);
    QCOMPARE(missed.typedInstead, (QStringList{QStringLiteral("。"), QStringLiteral("う")}));
    QCOMPARE(missed.places.size(), 2);
    QCOMPARE(missed.places.at(0).line, 1);
    QCOMPARE(missed.places.at(0).position, 3);
    QCOMPARE(missed.places.at(1).line, 2);
    QCOMPARE(RunReview::shown(missed.expected), QStringLiteral("↵"));
    // Three characters and two line ends accepted; the last line is still due.
    QCOMPARE(review.characters, 3);
    QCOMPARE(review.byClass.last().characters, 2);
}

void tst_RunReview::strokesAndTimesPerPlace()
{
    Run run({QStringLiteral("漢字をab"), QStringLiteral("の")});
    run.commit(QStringLiteral("漢字"), 7, 2000); // kanji: 7 keys for two characters
    run.commit(QStringLiteral("を"), 3, 500);
    run.commit(QStringLiteral("a"), 1, 200);
    run.commit(QStringLiteral("b"), 1, 300);
    run.enter();
    run.commit(QStringLiteral("の"), 3, 4000);
    run.checker.countStroke(); // a key after the last character: the run's, no character's
    const RunReview::Review review = run.review();
    QCOMPARE(review.characters, 6);
    QCOMPARE(review.strokes, 17);
    const auto row = [&](int charClass) {
        for (const RunReview::Strokes& entry : review.byClass) {
            if (entry.charClass == charClass)
                return std::make_pair(entry.characters, entry.strokes);
        }
        return std::make_pair(-1, -1);
    };
    QCOMPARE(row(CharClass::KanjiOrSymbol), std::make_pair(2, 7));
    QCOMPARE(row(CharClass::Kana), std::make_pair(2, 6));
    QCOMPARE(row(CharClass::HalfWidth), std::make_pair(2, 2));
    QCOMPARE(row(0), std::make_pair(1, 1));
    QCOMPARE(RunReview::ratio(review.strokes, review.characters), 17.0 / 6);
    QCOMPARE(RunReview::ratio(5, 0), 0.0);

    // The slowest: the next line's first character, then the phrase's first one; the
    // second character of one commit took no time of its own.
    QCOMPARE(review.slowest.size(), RunReview::MaxSlowest);
    QCOMPARE(review.slowest.at(0).character, QStringLiteral("の"));
    QCOMPARE(review.slowest.at(0).ms, 4000);
    QCOMPARE(review.slowest.at(1).character, QStringLiteral("漢"));
}

void tst_RunReview::drillFromMisses()
{
    const QStringList lines{QStringLiteral("きょうは晴れです。"),
                            QStringLiteral("あしたは雨です。"),
                            QStringLiteral("あさっては晴れでしょう。")};
    // Nothing missed: no drill.
    QVERIFY(DrillBuilder::build(lines, {}).isEmpty());

    // The lines with misses in problem order, each once; then each missed character in its
    // context, most missed first.
    RunReview::Missed hare = missedAt(QStringLiteral("晴"), 3, 6);
    hare.places.append({1, 5});
    const QList<RunReview::Missed> missed{hare, missedAt(QStringLiteral("雨"), 2, 5),
                                          missedAt(QStringLiteral("で"), 3, 8)};
    const QStringList drill = DrillBuilder::build(lines, missed);
    const QStringList expected{lines.at(0),
                               lines.at(1),
                               lines.at(2),
                               QStringLiteral("ては晴れで　ては晴れで　ては晴れで"),
                               QStringLiteral("たは雨です　たは雨です　たは雨です"),
                               QStringLiteral("晴れでしょ　晴れでしょ　晴れでしょ")};
    QCOMPARE(drill, expected);
    QCOMPARE(DrillBuilder::build(lines, missed), drill); // the same misses, the same drill

    // Two lines alike go in once; the edges of the line clip the context.
    const QStringList shortLines{QStringLiteral("あい"), QStringLiteral("あい")};
    RunReview::Missed twice = missedAt(QStringLiteral("い"), 1, 2);
    twice.places.append({2, 2});
    QCOMPARE(DrillBuilder::build(shortLines, {twice}),
             (QStringList{QStringLiteral("あい"), QStringLiteral("あい　あい　あい")}));
}

void tst_RunReview::drillWhereEnterWasDue()
{
    // Enter missed: the end of the line, once, so the short line ends where Enter was due.
    // On an empty line the end of the line before it stands in.
    const QStringList lines{QStringLiteral("いろはにほへと"), QString(), QStringLiteral("ちり")};
    QCOMPARE(DrillBuilder::build(lines, {missedAt(QString(), 1, 8)}),
             (QStringList{QStringLiteral("いろはにほへと"), QStringLiteral("はにほへと")}));
    QCOMPARE(DrillBuilder::build(lines, {missedAt(QString(), 2, 1)}),
             QStringList{QStringLiteral("はにほへと")});
    // Only empty lines before the miss: never an empty drill.
    const QStringList leading{QString(), QStringLiteral("ちり")};
    QCOMPARE(DrillBuilder::build(leading, {missedAt(QString(), 1, 1)}),
             QStringList{QStringLiteral("ちり")});

    // A drill stays a problem that can be loaded: a line that would pass the limit is left out.
    const QStringList longest{QString(32760, u'あ')};
    const QStringList drill = DrillBuilder::build(longest, {missedAt(QStringLiteral("あ"), 1, 3)});
    QCOMPARE(drill.size(), 1);
    QCOMPARE(Problem().setLines(DrillBuilder::DrillName, drill), Problem::Loaded);
}

void tst_RunReview::drillRunsAsAProblemInMemory()
{
    Problem problem;
    QCOMPARE(problem.setLines(DrillBuilder::DrillName,
                              {QStringLiteral("あめ"), QStringLiteral("あめ　ＡＢ")}),
             Problem::Loaded);
    QCOMPARE(problem.fileName(), QStringLiteral("弱点練習"));
    QCOMPARE(problem.totalChars(), 7);
    QCOMPARE(problem.kanaChars(), 4);
    QCOMPARE(problem.alphanumericChars(), 3);
    QCOMPARE(Problem().setLines(DrillBuilder::DrillName, {QString()}), Problem::NoCharacters);
}

QTEST_GUILESS_MAIN(tst_RunReview)
#include "tst_RunReview.moc"
