#include "typing/Countdown.h"
#include "typing/ProblemLayout.h"

#include <QTest>

using namespace ProblemLayout;

class tst_ProblemLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wrapsRows_data();
    void wrapsRows();
    void fullWidthSpaceShowsAsSquare();
    void problemWindowWidth_data();
    void problemWindowWidth();
    void placement_data();
    void placement();
    void informationLine_data();
    void informationLine();
    void informationLineRows();
    void inputWindowRows_data();
    void inputWindowRows();
    void countdownFromOneMinute();
    void countdownFromNothingEnds();
};

namespace
{
QList<qreal> widths(int count, qreal width)
{
    return QList<qreal>(count, width);
}
} // namespace

void tst_ProblemLayout::wrapsRows_data()
{
    QTest::addColumn<QList<qreal>>("widths");
    QTest::addColumn<qreal>("innerWidth");
    QTest::addColumn<QList<int>>("rows");
    // A half-width space is 1, a full-width character 2; the inner width is 80 spaces.
    QTest::newRow("45 full-width") << widths(45, 2) << 80.0 << QList<int>{39, 6};
    // 39 full-width characters reach the point where a row would break: no break after the
    // last one.
    QTest::newRow("ends at the edge") << widths(39, 2) << 80.0 << QList<int>{39};
    QTest::newRow("one past the edge") << widths(40, 2) << 80.0 << QList<int>{39, 1};
    QTest::newRow("two full rows and a bit") << widths(80, 2) << 80.0 << QList<int>{39, 39, 2};
    QTest::newRow("half-width") << widths(100, 1) << 80.0 << QList<int>{79, 21};
    QTest::newRow("empty line") << QList<qreal>{} << 80.0 << QList<int>{0};
    // The character just printed stands for the next: a half-width one before a wide one
    // keeps the row going.
    QList<qreal> mixed = widths(38, 2);
    mixed << 1 << 2 << 2;
    QTest::newRow("narrow before wide") << mixed << 80.0 << QList<int>{40, 1};
}

void tst_ProblemLayout::wrapsRows()
{
    QFETCH(QList<qreal>, widths);
    QFETCH(qreal, innerWidth);
    QFETCH(QList<int>, rows);
    QCOMPARE(rowLengths(widths, 1, innerWidth), rows);
}

void tst_ProblemLayout::fullWidthSpaceShowsAsSquare()
{
    QCOMPARE(displayText(QStringLiteral("\u3000")), QStringLiteral("□"));
    QCOMPARE(displayText(QStringLiteral(" ")), QStringLiteral(" "));
    QCOMPARE(displayText(QStringLiteral("字")), QStringLiteral("字"));
}

void tst_ProblemLayout::problemWindowWidth_data()
{
    QTest::addColumn<qreal>("client");
    QTest::addColumn<int>("width");
    // w82 = 82 × 8.5 = 697, c = 8.5 (rounded to 9 by the caller).
    QTest::newRow("wide client") << 1000.0 << 697;
    QTest::newRow("exactly w82") << 697.0 << 697;
    QTest::newRow("narrow client") << 500.0 << 491;
}

void tst_ProblemLayout::problemWindowWidth()
{
    QFETCH(qreal, client);
    QFETCH(int, width);
    QCOMPARE(ProblemLayout::problemWindowWidth(client, 697, 9), width);
}

void tst_ProblemLayout::placement_data()
{
    QTest::addColumn<QRect>("work");
    QTest::addColumn<int>("backgroundMode");
    QTest::addColumn<int>("windowPercent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("maximised");
    const QRect screen(0, 0, 1280, 800);
    QTest::newRow("normal, centred") << screen << 0 << 80 << QRect(128, 80, 1024, 640) << false;
    QTest::newRow("task bar on the left")
        << QRect(100, 0, 1000, 1000) << 0 << 80 << QRect(200, 100, 800, 800) << false;
    QTest::newRow("maximised 1") << screen << 1 << 80 << screen << true;
    QTest::newRow("maximised 2") << screen << 2 << 80 << screen << true;
    QTest::newRow("unknown mode as normal")
        << screen << 7 << 80 << QRect(128, 80, 1024, 640) << false;
    QTest::newRow("too low: 600 high from the top")
        << QRect(0, 30, 1280, 800) << 0 << 50 << QRect(128, 30, 640, 600) << false;
    QTest::newRow("low work area: all of it")
        << QRect(0, 20, 800, 500) << 0 << 80 << QRect(80, 20, 640, 500) << false;
}

void tst_ProblemLayout::placement()
{
    QFETCH(QRect, work);
    QFETCH(int, backgroundMode);
    QFETCH(int, windowPercent);
    QFETCH(QRect, geometry);
    QFETCH(bool, maximised);
    const Placement placed = placeWindow(work, backgroundMode, windowPercent);
    QCOMPARE(placed.geometry, geometry);
    QCOMPARE(placed.maximised, maximised);
}

void tst_ProblemLayout::informationLine_data()
{
    QTest::addColumn<QList<int>>("counts"); // total, kanji, alphanumeric, half-width
    QTest::addColumn<QString>("text");
    QTest::newRow("example") << QList<int>{200, 50, 13, 13}
                             << QStringLiteral(
                                    "総文字数:200文字  漢字率:25%  英数記号率:6%  半角率:6%");
    // 57 / 100 × 100 in floating point is 56.99…; the rate is still 57.
    QTest::newRow("exact hundredths")
        << QList<int>{100, 57, 29, 0}
        << QStringLiteral("総文字数:100文字  漢字率:57%  英数記号率:29%  半角率:0%");
    QTest::newRow("all kanji") << QList<int>{3, 3, 0, 0}
                               << QStringLiteral(
                                      "総文字数:3文字  漢字率:100%  英数記号率:0%  半角率:0%");
    QTest::newRow("large") << QList<int>{32767, 32766, 1, 1}
                           << QStringLiteral(
                                  "総文字数:32767文字  漢字率:99%  英数記号率:0%  半角率:0%");
}

void tst_ProblemLayout::informationLine()
{
    QFETCH(QList<int>, counts);
    QFETCH(QString, text);
    QCOMPARE(problemSummary(counts[0], counts[1], counts[2], counts[3]), text);
}

void tst_ProblemLayout::informationLineRows()
{
    // Fits: one row, its middle one caption height above the frame's bottom.
    InfoLineBox one = infoLineBox(12, 400, 420, 48, 12, 24);
    QVERIFY(!one.twoRows);
    QCOMPARE(one.height, 12.0);
    QCOMPARE(one.top, 48.0 - 6 - 12);
    // Caption height plus text wider than the frame: two rows at the bottom.
    InfoLineBox two = infoLineBox(12, 409, 420, 48, 12, 24);
    QVERIFY(two.twoRows);
    QCOMPARE(two.height, 24.0);
    QCOMPARE(two.top, 24.0);
}

void tst_ProblemLayout::inputWindowRows_data()
{
    QTest::addColumn<int>("pitch");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("stripRows");
    // 180 - 51 - 36 = 93 above the box, 89 above the gap: four rows of 18, 17 px to spare.
    QTest::newRow("default fonts") << 18 << 36 << 51 << 4;
    QTest::newRow("room for exactly two") << 20 << 40 << 92 << 2;
    QTest::newRow("no room for a row") << 30 << 60 << 100 << 0;
    // Box and result do not both fit: the box stays whole, the result gets the rest.
    QTest::newRow("tiny window") << 60 << 120 << 100 << 0;
}

void tst_ProblemLayout::inputWindowRows()
{
    QFETCH(int, pitch);
    QFETCH(int, box);
    QFETCH(int, result);
    QFETCH(int, stripRows);
    const int window = 180;
    const int gap = 4;
    const InputWindowRows rows = ProblemLayout::inputWindowRows(window, pitch, box, result, gap);
    QCOMPARE(rows.stripRows, stripRows);
    QCOMPARE(rows.boxTop + box, rows.resultTop); // the result right under the box, apart
    QCOMPARE(rows.resultTop + rows.resultHeight, window);
    QCOMPARE(rows.resultHeight, std::min(result, window - box));
    QVERIFY(rows.stripTop >= 0);
    if (stripRows > 0)
        QCOMPARE(rows.stripTop + stripRows * pitch + gap, rows.boxTop);
}

void tst_ProblemLayout::countdownFromOneMinute()
{
    Countdown clock{1, 0};
    QVERIFY(!clock.tick());
    QCOMPARE(clock.minutes, 0);
    QCOMPARE(clock.seconds, 59);
    int ticks = 1;
    bool ended = false;
    while (!ended && ticks < 1000) {
        ended = clock.tick();
        ++ticks;
        if (ticks == 51) {
            QCOMPARE(clock.seconds, 9);
        }
    }
    QCOMPARE(ticks, 60);
    QCOMPARE(clock.minutes, 0);
    QCOMPARE(clock.seconds, 0);

    // A whole minute has 60 ticks: 2:1 → 2:0 → 1:59.
    Countdown borrow{2, 1};
    QVERIFY(!borrow.tick());
    QCOMPARE(borrow.minutes, 2);
    QCOMPARE(borrow.seconds, 0);
    QVERIFY(!borrow.tick());
    QCOMPARE(borrow.minutes, 1);
    QCOMPARE(borrow.seconds, 59);
    Countdown three{3, 0};
    int ticksBeforeEnd = 0;
    while (!three.tick())
        ++ticksBeforeEnd;
    QCOMPARE(ticksBeforeEnd + 1, 180);
}

void tst_ProblemLayout::countdownFromNothingEnds()
{
    Countdown clock{0, 0};
    QVERIFY(clock.tick());
    QCOMPARE(clock.seconds, 0);
}

QTEST_MAIN(tst_ProblemLayout)
#include "tst_ProblemLayout.moc"
