#include "typing/Scoring.h"

#include <QTest>

class tst_Scoring : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void score_data();
    void score();
    void grade_data();
    void grade();
    void passAtThreshold();
    void secondsUsedAtFinish();
};

void tst_Scoring::score_data()
{
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("secondsUsed");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<float>("speed");
    QTest::addColumn<QString>("caption");

    QTest::newRow("passed, first grade")
        << 257 << 3 << 180 << 60 << 98.8f << 85.7f
        << QStringLiteral(
               "あなたの入力速度は85.7文字/分です(正打率98.8%)\r＜ワープロ検定１級レベル＞");
    QTest::newRow("failed, below the lowest band")
        << 45 << 0 << 180 << 25 << 100.0f << 15.0f
        << QStringLiteral("あなたの入力速度は15文字/分です(正打率100%)\r合格範囲は25文字／分です。"
                          "次は頑張って下さいね\r＜ワープロ検定４級レベルまであと15文字です＞");
    // Halves go to the even digit: 0.25 → 0.2, 2 / 8 min = 0.25 per minute.
    QTest::newRow("half to even")
        << 1 << 3 << 240 << 0 << 25.0f << 0.2f
        << QStringLiteral("あなたの入力速度は0.2文字/分です(正打率25%)\r＜ワープロ検定４級レベル"
                          "まであと79文字です＞");
    // No character and no error, or no time used: 0, and the run still ends normally.
    QTest::newRow("nothing typed")
        << 0 << 0 << 180 << 25 << 0.0f << 0.0f
        << QStringLiteral("あなたの入力速度は0文字/分です(正打率0%)\r"
                          "合格範囲は25文字／分です。次は頑張って下さいね"
                          "\r＜ワープロ検定４級レベルまであと60文字です＞");
    // (20 - 0.8f) × 75 / 60 is 23.99… in floating point; the shown speed gives exactly 24.
    QTest::newRow("one character in 75 s")
        << 1 << 0 << 75 << 0 << 100.0f << 0.8f
        << QStringLiteral("あなたの入力速度は0.8文字/分です(正打率100%)\r"
                          "＜ワープロ検定４級レベルまであと24文字です＞");
    QTest::newRow("no time used") << 5 << 0 << 0 << 0 << 100.0f << 0.0f
                                  << QStringLiteral("あなたの入力速度は0文字/分です(正打率100%)\r"
                                                    "＜ワープロ検定４級レベルまであと0文字です＞");
}

void tst_Scoring::score()
{
    QFETCH(int, accepted);
    QFETCH(int, errors);
    QFETCH(int, secondsUsed);
    QFETCH(int, threshold);
    QFETCH(float, accuracy);
    QFETCH(float, speed);
    QFETCH(QString, caption);
    const Scoring::Result result = Scoring::score(accepted, errors, secondsUsed, threshold);
    QCOMPARE(result.accuracy, accuracy);
    QCOMPARE(result.charsPerMinute, speed);
    QCOMPARE(result.caption, caption);
}

void tst_Scoring::grade_data()
{
    QTest::addColumn<float>("speed");
    QTest::addColumn<int>("secondsUsed");
    QTest::addColumn<QString>("grade");

    QTest::newRow("80.0") << 80.0f << 180 << QStringLiteral("ワープロ検定１級レベル");
    QTest::newRow("79.9") << 79.9f << 180 << QStringLiteral("ワープロ検定準１級レベル");
    QTest::newRow("65") << 65.0f << 180 << QStringLiteral("ワープロ検定準１級レベル");
    QTest::newRow("50") << 50.0f << 180 << QStringLiteral("ワープロ検定２級レベル");
    QTest::newRow("49.9") << 49.9f << 180 << QStringLiteral("ワープロ検定準２級レベル");
    QTest::newRow("35") << 35.0f << 180 << QStringLiteral("ワープロ検定３級レベル");
    QTest::newRow("20") << 20.0f << 180 << QStringLiteral("ワープロ検定４級レベル");
    QTest::newRow("19.9 over 120 s")
        << 19.9f << 120 << QStringLiteral("ワープロ検定４級レベルまであと0文字です");
    QTest::newRow("0.2 over 600 s")
        << 0.2f << 600 << QStringLiteral("ワープロ検定４級レベルまであと198文字です");
    QTest::newRow("0.4 over 150 s")
        << 0.4f << 150 << QStringLiteral("ワープロ検定４級レベルまであと49文字です");
    QTest::newRow("15 over 180 s")
        << 15.0f << 180 << QStringLiteral("ワープロ検定４級レベルまであと15文字です");
}

void tst_Scoring::grade()
{
    QFETCH(float, speed);
    QFETCH(int, secondsUsed);
    QFETCH(QString, grade);
    QCOMPARE(Scoring::grade(speed, secondsUsed), grade);
}

void tst_Scoring::passAtThreshold()
{
    QVERIFY(Scoring::passes(25.0f, 25));
    QVERIFY(!Scoring::passes(24.9f, 25));
    const Scoring::Result result = Scoring::score(75, 0, 180, 25); // exactly 25.0 per minute
    QVERIFY(result.passed);
    QVERIFY(!result.caption.contains(QStringLiteral("合格範囲")));
}

void tst_Scoring::secondsUsedAtFinish()
{
    QCOMPARE(Scoring::secondsUsedAtFinish(3, 65), 115);
    QCOMPARE(Scoring::secondsUsedAtFinish(3, 180), 0);
    QCOMPARE(Scoring::secondsUsedAtFinish(1, 59), 1);
}

QTEST_GUILESS_MAIN(tst_Scoring)
#include "tst_Scoring.moc"
