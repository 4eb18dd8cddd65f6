#include "ProblemFixture.h"
#include "common/Cp932.h"
#include "results/RunRecord.h"
#include "typing/InputChecker.h"

#include <QTest>

namespace
{

// Records what the window would be told to do.
struct FakeView : InputCheckerView {
    QString box;
    QStringList rows; // typed rows, with "⏎" where Enter ended them
    QList<bool> scrolls;
    QString hint;
    QString status;
    qreal cursorX = -1;
    qreal cursorWidth = -1;

    void appendAccepted(const QString& shown) override { box += shown; }
    void moveRowToTypedRows(const QString& text, bool withEnter, bool scroll) override
    {
        rows.append(withEnter ? text + QStringLiteral("⏎") : text);
        scrolls.append(scroll);
        box.clear();
    }
    void moveCursor(qreal x, qreal width) override
    {
        cursorX = x;
        cursorWidth = width;
    }
    void showHint(const QString& text) override { hint = text; }
    void showStatus(const QString& text) override { status = text; }
};

// A fixed-pitch font: half width 10, full width 20.
qreal cellWidth(QStringView text)
{
    return qreal(Cp932::byteLength(text)) * 10;
}

struct Run {
    TempTree tree;
    std::unique_ptr<Problem> problem;
    RunRecord record;
    int strokes = 0;
    FakeView view;
    InputChecker checker{strokes, view};
    bool imeOn = true;

    explicit Run(const QStringList& lines, qreal innerWidth = 800)
    {
        problem = loadProblem(tree, lines);
        checker.setMeasure(cellWidth, [innerWidth] { return innerWidth; });
        checker.setImeOn([this] { return imeOn; });
        checker.start(problem.get(), record, QStringLiteral("総文字数:10文字"));
    }

    void type(const QString& text)
    {
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
            checker.typeCharacter(QStringView(text).mid(i, length));
            i += length;
        }
    }
    QString acceptedOfTyped() const
    {
        return QString::number(record.acceptedChars()) + u'/' +
               QString::number(record.acceptedChars() + record.errors());
    }
};

} // namespace

class tst_InputChecker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wrongCharacterIsCountedAndStillExpected();
    void fullWidthSpaceShowsItsMark();
    void enterOnlyAtLineEnd();
    void lineCountsAllButItsLastCharacter();
    void emptyLines_data();
    void emptyLines();
    void codePageEquivalents_data();
    void codePageEquivalents();
    void rowsBreakLikeTheDisplay();
    void scrollStartsAtRowSeven();
    void statusLine();
    void hints_data();
    void hints();
    void nothingCountsOutsideTheRun();
};

void tst_InputChecker::wrongCharacterIsCountedAndStillExpected()
{
    Run run({QStringLiteral("あいうえおかきくけこさ")});
    run.type(QStringLiteral("あいうえおかきくけこ"));
    QCOMPARE(run.acceptedOfTyped(), QStringLiteral("10/10"));
    QCOMPARE(run.checker.typeCharacter(u"x"), InputChecker::Outcome::Error);
    QCOMPARE(run.acceptedOfTyped(), QStringLiteral("10/11"));
    QCOMPARE(run.view.box, QStringLiteral("あいうえおかきくけこ"));
    QCOMPARE(run.checker.currentChar(), 11);
    QCOMPARE(run.checker.typeCharacter(u"さ"), InputChecker::Outcome::LineDone);
}

void tst_InputChecker::fullWidthSpaceShowsItsMark()
{
    Run run({QStringLiteral("あ　い")});
    run.type(QStringLiteral("あ　"));
    QCOMPARE(run.view.box, QStringLiteral("あ□"));
    QCOMPARE(run.record.acceptedChars(), 2);
    QCOMPARE(run.record.errors(), 0);
    // The cursor stands on the third cell: two full-width cells typed.
    QCOMPARE(run.view.cursorX, 40.0);
}

void tst_InputChecker::enterOnlyAtLineEnd()
{
    Run run({QStringLiteral("abc"), QStringLiteral("de")});
    run.type(QStringLiteral("ab"));
    QVERIFY(!run.checker.enter()); // early Enter: nothing, no error
    QCOMPARE(run.record.errors(), 0);
    QCOMPARE(run.checker.currentLine(), 1);
    run.type(QStringLiteral("cd")); // a character instead of Enter
    QCOMPARE(run.record.errors(), 1);
    QCOMPARE(run.view.box, QStringLiteral("abc"));
    QVERIFY(run.checker.lineDone());
    QVERIFY(!run.checker.enter());
    QCOMPARE(run.view.rows, QStringList{QStringLiteral("abc⏎")});
    QCOMPARE(run.checker.currentLine(), 2);
    run.type(QStringLiteral("de"));
    QVERIFY(run.checker.enter()); // the last line's Enter finishes the problem
    QVERIFY(run.checker.isProblemDone());
}

void tst_InputChecker::lineCountsAllButItsLastCharacter()
{
    Run run({QStringLiteral("0123456789"), QStringLiteral("x")});
    run.type(QStringLiteral("0123456789"));
    run.checker.enter();
    QCOMPARE(run.record.acceptedChars(), 9);
    QCOMPARE(run.record.errors(), 0);
}

void tst_InputChecker::emptyLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("keys"); // "|" is Enter
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("accepted");

    QTest::newRow("empty line needs its own Enter")
        << QStringList{QStringLiteral("ab"), QString(), QStringLiteral("cd")}
        << QStringLiteral("ab|") << false << 2;
    QTest::newRow("empty line passed")
        << QStringList{QStringLiteral("ab"), QString(), QStringLiteral("cd")}
        << QStringLiteral("ab||c") << false << 3;
    QTest::newRow("empty last line ends at the Enter before it")
        << QStringList{QStringLiteral("ab"), QStringLiteral("cd"), QString()}
        << QStringLiteral("ab|cd|") << true << 2;
    QTest::newRow("empty first line passed with Enter")
        << QStringList{QString(), QStringLiteral("ab"), QStringLiteral("c")}
        << QStringLiteral("|ab") << false << 2;
}

void tst_InputChecker::emptyLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, keys);
    QFETCH(bool, finished);
    QFETCH(int, accepted);
    Run run(lines);
    bool ended = false;
    for (QChar c : keys) {
        if (c == u'|')
            ended = run.checker.enter();
        else
            run.checker.typeCharacter(QStringView(&c, 1));
    }
    QCOMPARE(ended, finished);
    QCOMPARE(run.record.acceptedChars(), accepted);
    QCOMPARE(run.record.errors(), 0);
}

void tst_InputChecker::codePageEquivalents_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("wave dash") << QStringLiteral("～") << QStringLiteral("〜") << true;
    QTest::newRow("minus") << QStringLiteral("－") << QStringLiteral("−") << true;
    QTest::newRow("double bar") << QStringLiteral("∥") << QStringLiteral("‖") << true;
    QTest::newRow("dash") << QStringLiteral("―") << QStringLiteral("—") << true;
    QTest::newRow("cent") << QStringLiteral("￠") << QStringLiteral("¢") << true;
    QTest::newRow("pound") << QStringLiteral("￡") << QStringLiteral("£") << true;
    QTest::newRow("not") << QStringLiteral("￢") << QStringLiteral("¬") << true;
    QTest::newRow("same form") << QStringLiteral("～") << QStringLiteral("～") << true;
    QTest::newRow("half and full width differ")
        << QStringLiteral("Ａ") << QStringLiteral("A") << false;
    QTest::newRow("outside the code page") << QStringLiteral("吉") << QStringLiteral("𠮷") << false;
}

void tst_InputChecker::codePageEquivalents()
{
    QFETCH(QString, problem);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Run run({problem + QStringLiteral("あ")});
    run.type(typed); // a surrogate pair is one character: at most one error
    QCOMPARE(run.record.acceptedChars(), accepted ? 1 : 0);
    QCOMPARE(run.record.errors(), accepted ? 0 : 1);
    QCOMPARE(run.view.box, accepted ? problem : QString());
}

void tst_InputChecker::rowsBreakLikeTheDisplay()
{
    // Inner width of ten half-width cells: a row ends once the next character and one
    // half-width space would pass the edge, so "abcdefghi" fills the first row.
    Run run({QStringLiteral("abcdefghijkl")}, 100);
    run.type(QStringLiteral("abcdefgh"));
    QVERIFY(run.view.rows.isEmpty());
    run.type(QStringLiteral("i"));
    QCOMPARE(run.view.rows, QStringList{QStringLiteral("abcdefghi")});
    QCOMPARE(run.checker.currentRow(), 2);
    QCOMPARE(run.view.cursorX, 0.0);
    QCOMPARE(run.view.cursorWidth, 10.0);
    QCOMPARE(run.record.acceptedChars(), 9);
    run.type(QStringLiteral("jk"));
    QCOMPARE(run.view.cursorX, 20.0);

    // The line's last character never breaks a row, even at the edge.
    Run edge({QStringLiteral("abcdefghi"), QStringLiteral("z")}, 100);
    edge.type(QStringLiteral("abcdefghi"));
    QVERIFY(edge.checker.lineDone());
    QVERIFY(edge.view.rows.isEmpty());
    QCOMPARE(edge.view.cursorX, 90.0);
    QCOMPARE(edge.view.cursorWidth, 20.0); // the end-of-line cell is full width
}

void tst_InputChecker::scrollStartsAtRowSeven()
{
    QStringList lines;
    for (int i = 0; i < 9; ++i)
        lines << QStringLiteral("ab");
    Run run(lines);
    for (int i = 0; i < 8; ++i) {
        run.type(QStringLiteral("ab"));
        run.checker.enter();
    }
    // The sixth row ended is the first after which the problem scrolls: row seven begins.
    QCOMPARE(run.view.scrolls, (QList<bool>{false, false, false, false, false, true, true, true}));
}

void tst_InputChecker::statusLine()
{
    Run run({QStringLiteral("abc")});
    run.checker.countStroke();
    run.checker.countStroke();
    run.type(QStringLiteral("ax"));
    QCOMPARE(run.view.status, QStringLiteral("総文字数:10文字  ストローク:2  入力:1/2"));
}

void tst_InputChecker::hints_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("imeOn");
    QTest::addColumn<QString>("hint");

    QTest::newRow("full-width space")
        << QStringLiteral("a　") << true << InputChecker::HintFullSpace;
    QTest::newRow("digit zero") << QStringLiteral("a〇") << false << InputChecker::HintDigitZero;
    QTest::newRow("kanji, input method off")
        << QStringLiteral("a漢") << false << InputChecker::HintImeOff;
    QTest::newRow("kanji, input method on") << QStringLiteral("a漢") << true << QString();
    QTest::newRow("half-width, input method off") << QStringLiteral("ab") << false << QString();
}

void tst_InputChecker::hints()
{
    QFETCH(QString, line);
    QFETCH(bool, imeOn);
    QFETCH(QString, hint);
    Run run({line + QStringLiteral("z")});
    run.imeOn = imeOn;
    run.type(QStringLiteral("a"));
    QCOMPARE(run.view.hint, hint);
}

void tst_InputChecker::nothingCountsOutsideTheRun()
{
    TempTree tree;
    auto problem = loadProblem(tree, {QStringLiteral("ab")});
    RunRecord record;
    int strokes = 0;
    FakeView view;
    InputChecker checker(strokes, view);
    checker.setMeasure(cellWidth, [] { return 800.0; });
    checker.countStroke();
    QCOMPARE(checker.typeCharacter(u"a"), InputChecker::Outcome::Ignored);
    QVERIFY(checker.start(problem.get(), record, QString()));
    QVERIFY(!checker.start(problem.get(), record, QString())); // a second space is no start
    checker.countStroke();
    QVERIFY(checker.finish());
    QVERIFY(!checker.finish()); // ends once
    checker.countStroke();
    QCOMPARE(checker.typeCharacter(u"a"), InputChecker::Outcome::Ignored);
    QCOMPARE(strokes, 1);
    QCOMPARE(record.acceptedChars(), 0);
    QCOMPARE(record.errors(), 0);
}

QTEST_GUILESS_MAIN(tst_InputChecker)
#include "tst_InputChecker.moc"
