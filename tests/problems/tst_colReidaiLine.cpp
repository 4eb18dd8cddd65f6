#include "common/PelkoError.h"
#include "problems/MoziClass.h"
#include "problems/colReidaiLine.h"

#include <QTest>

class tst_colReidaiLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void characterClass_data();
    void characterClass();
    void lineSplitsIntoClassifiedCharacters();
    void itemByPositionAndKey();
    void missingEntriesRaise_data();
    void missingEntriesRaise();
    void keysSurviveRemove();
    void settingAgainReplacesCharacters();
    void overlongLineRaisesOverflow();
};

void tst_colReidaiLine::characterClass_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("mcode");

    QTest::newRow("hiragana first ぁ") << QStringLiteral("ぁ") << 1;
    QTest::newRow("hiragana last ん") << QStringLiteral("ん") << 1;
    QTest::newRow("katakana first ァ") << QStringLiteral("ァ") << 1;
    QTest::newRow("ヴ 0x8394") << QStringLiteral("ヴ") << 1;
    QTest::newRow("ヶ 0x8396") << QStringLiteral("ヶ") << 1;
    QTest::newRow("ideographic space") << QStringLiteral("　") << 2;
    QTest::newRow("long vowel ー") << QStringLiteral("ー") << 2;
    QTest::newRow("iteration 々") << QStringLiteral("々") << 2;
    QTest::newRow("〓 0x81AC") << QStringLiteral("〓") << 2;
    QTest::newRow("full-width ０") << QStringLiteral("０") << 2;
    QTest::newRow("full-width ９") << QStringLiteral("９") << 2;
    QTest::newRow("full-width Ｚ") << QStringLiteral("Ｚ") << 2;
    QTest::newRow("full-width ｚ") << QStringLiteral("ｚ") << 2;
    QTest::newRow("half-width ｱ 0xB1") << QStringLiteral("ｱ") << 3;
    QTest::newRow("space") << QStringLiteral(" ") << 3;
    QTest::newRow("tab") << QStringLiteral("\t") << 3;
    QTest::newRow("ASCII A") << QStringLiteral("A") << 3;
    QTest::newRow("∈ 0x81B8") << QStringLiteral("∈") << 4;
    QTest::newRow("Greek α 0x83BF") << QStringLiteral("α") << 4;
    QTest::newRow("kanji 漢") << QStringLiteral("漢") << 4;
    QTest::newRow("NUL is code 0") << QString(QChar(0)) << 4;
    QTest::newRow("no Shift-JIS form ☃") << QStringLiteral("☃") << 4;
    QTest::newRow("surrogate pair 𠮷") << QStringLiteral("𠮷") << 4;
}

void tst_colReidaiLine::characterClass()
{
    QFETCH(QString, character);
    QFETCH(int, mcode);
    QCOMPARE(MoziClass::classOf(character), mcode);
    // The cached answer must agree with the first one.
    QCOMPARE(MoziClass::classOf(character), mcode);
}

void tst_colReidaiLine::lineSplitsIntoClassifiedCharacters()
{
    colReidaiLine line;
    const QString text = QStringLiteral("あア１Ａａ、ｱA漢𠮷");
    line.setLineData(text);
    QCOMPARE(line.LineData(), text);
    QCOMPARE(line.Count(), 10); // the surrogate pair is one character

    QString joined;
    QList<int> codes;
    for (const clsMozi& mozi : line) {
        joined += mozi.Mozi();
        codes.append(mozi.Mcode());
    }
    QCOMPARE(joined, text);
    QCOMPARE(codes, (QList<int>{1, 1, 2, 2, 2, 2, 3, 3, 4, 4}));
    QCOMPARE(line.Item(10).Mozi(), QStringLiteral("𠮷"));

    colReidaiLine empty;
    empty.setLineData(QString());
    QCOMPARE(empty.Count(), 0);
    QVERIFY(empty.begin() == empty.end());
}

void tst_colReidaiLine::itemByPositionAndKey()
{
    colReidaiLine line;
    line.setLineData(QStringLiteral("日本語です"));
    QCOMPARE(line.Item(3).Mozi(), QStringLiteral("語"));
    QCOMPARE(line.Item(QStringLiteral(" 3")).Mozi(), QStringLiteral("語"));
    QCOMPARE(line.Item(QStringLiteral(" 5")).Mozi(), QStringLiteral("す"));
}

void tst_colReidaiLine::missingEntriesRaise_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("position");

    QTest::newRow("position 0") << QString() << 0;
    QTest::newRow("position past the end") << QString() << 4;
    QTest::newRow("negative position") << QString() << -1;
    QTest::newRow("key without its space") << QStringLiteral("3") << 0;
    QTest::newRow("key with a leading zero") << QStringLiteral(" 03") << 0;
    QTest::newRow("key past the end") << QStringLiteral(" 4") << 0;
    QTest::newRow("key zero") << QStringLiteral(" 0") << 0;
    QTest::newRow("key beyond 32 bits") << QStringLiteral(" 99999999999") << 0;
    QTest::newRow("key with trailing text") << QStringLiteral(" 3a") << 0;
}

void tst_colReidaiLine::missingEntriesRaise()
{
    QFETCH(QString, key);
    QFETCH(int, position);
    colReidaiLine line;
    line.setLineData(QStringLiteral("abc"));
    if (key.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.Item(position));
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.Remove(position));
    } else {
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.Item(key));
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.Remove(key));
    }
    QCOMPARE(line.Count(), 3);
}

void tst_colReidaiLine::keysSurviveRemove()
{
    colReidaiLine line;
    line.setLineData(QStringLiteral("abcde"));
    line.Remove(2);
    line.Remove(QStringLiteral(" 4"));
    QCOMPARE(line.Count(), 3);
    // Positions close up; keys stay with their characters.
    QCOMPARE(line.Item(2).Mozi(), QStringLiteral("c"));
    QCOMPARE(line.Item(QStringLiteral(" 3")).Mozi(), QStringLiteral("c"));
    QCOMPARE(line.Item(QStringLiteral(" 5")).Mozi(), QStringLiteral("e"));
    QVERIFY_THROWS_EXCEPTION(PelkoError, line.Item(QStringLiteral(" 2")));
}

void tst_colReidaiLine::settingAgainReplacesCharacters()
{
    colReidaiLine line;
    line.setLineData(QStringLiteral("長い行です"));
    line.setLineData(QStringLiteral("ab"));
    QCOMPARE(line.Count(), 2);
    QCOMPARE(line.Item(QStringLiteral(" 1")).Mozi(), QStringLiteral("a"));
    QVERIFY_THROWS_EXCEPTION(PelkoError, line.Item(3));
}

void tst_colReidaiLine::overlongLineRaisesOverflow()
{
    colReidaiLine line;
    line.setLineData(QString(32767, u'あ'));
    QCOMPARE(line.Count(), 32767);
    QCOMPARE(line.Item(QStringLiteral(" 32767")).Mcode(), 1);

    try {
        line.setLineData(QString(32768, u'a'));
        QFAIL("no overflow raised");
    } catch (const PelkoError& e) {
        QCOMPARE(e.number(), int(PelkoError::Overflow));
    }
    QCOMPARE(line.Count(), 32767); // the old line stays whole
}

QTEST_GUILESS_MAIN(tst_colReidaiLine)
#include "tst_colReidaiLine.moc"
