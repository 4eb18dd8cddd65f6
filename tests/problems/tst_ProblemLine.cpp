#include "common/PelkoError.h"
#include "problems/CharClass.h"
#include "problems/ProblemLine.h"

#include <QTest>

class tst_ProblemLine : public QObject
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

void tst_ProblemLine::characterClass_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("charClass");

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

void tst_ProblemLine::characterClass()
{
    QFETCH(QString, character);
    QFETCH(int, charClass);
    QCOMPARE(CharClass::classOf(character), charClass);
    // The cached answer must agree with the first one.
    QCOMPARE(CharClass::classOf(character), charClass);
}

void tst_ProblemLine::lineSplitsIntoClassifiedCharacters()
{
    ProblemLine line;
    const QString text = QStringLiteral("あア１Ａａ、ｱA漢𠮷");
    line.setText(text);
    QCOMPARE(line.text(), text);
    QCOMPARE(line.count(), 10); // the surrogate pair is one character

    QString joined;
    QList<int> codes;
    for (const ProblemChar& problemChar : line) {
        joined += problemChar.text();
        codes.append(problemChar.charClass());
    }
    QCOMPARE(joined, text);
    QCOMPARE(codes, (QList<int>{1, 1, 2, 2, 2, 2, 3, 3, 4, 4}));
    QCOMPARE(line.item(10).text(), QStringLiteral("𠮷"));

    ProblemLine empty;
    empty.setText(QString());
    QCOMPARE(empty.count(), 0);
    QVERIFY(empty.begin() == empty.end());
}

void tst_ProblemLine::itemByPositionAndKey()
{
    ProblemLine line;
    line.setText(QStringLiteral("日本語です"));
    QCOMPARE(line.item(3).text(), QStringLiteral("語"));
    QCOMPARE(line.item(QStringLiteral(" 3")).text(), QStringLiteral("語"));
    QCOMPARE(line.item(QStringLiteral(" 5")).text(), QStringLiteral("す"));
}

void tst_ProblemLine::missingEntriesRaise_data()
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

void tst_ProblemLine::missingEntriesRaise()
{
    QFETCH(QString, key);
    QFETCH(int, position);
    ProblemLine line;
    line.setText(QStringLiteral("abc"));
    if (key.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.item(position));
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.remove(position));
    } else {
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.item(key));
        QVERIFY_THROWS_EXCEPTION(PelkoError, line.remove(key));
    }
    QCOMPARE(line.count(), 3);
}

void tst_ProblemLine::keysSurviveRemove()
{
    ProblemLine line;
    line.setText(QStringLiteral("abcde"));
    line.remove(2);
    line.remove(QStringLiteral(" 4"));
    QCOMPARE(line.count(), 3);
    // Positions close up; keys stay with their characters.
    QCOMPARE(line.item(2).text(), QStringLiteral("c"));
    QCOMPARE(line.item(QStringLiteral(" 3")).text(), QStringLiteral("c"));
    QCOMPARE(line.item(QStringLiteral(" 5")).text(), QStringLiteral("e"));
    QVERIFY_THROWS_EXCEPTION(PelkoError, line.item(QStringLiteral(" 2")));
}

void tst_ProblemLine::settingAgainReplacesCharacters()
{
    ProblemLine line;
    line.setText(QStringLiteral("長い行です"));
    line.setText(QStringLiteral("ab"));
    QCOMPARE(line.count(), 2);
    QCOMPARE(line.item(QStringLiteral(" 1")).text(), QStringLiteral("a"));
    QVERIFY_THROWS_EXCEPTION(PelkoError, line.item(3));
}

void tst_ProblemLine::overlongLineRaisesOverflow()
{
    ProblemLine line;
    line.setText(QString(32767, u'あ'));
    QCOMPARE(line.count(), 32767);
    QCOMPARE(line.item(QStringLiteral(" 32767")).charClass(), 1);

    try {
        line.setText(QString(32768, u'a'));
        QFAIL("no overflow raised");
    } catch (const PelkoError& e) {
        QCOMPARE(e.number(), int(PelkoError::Overflow));
    }
    QCOMPARE(line.count(), 32767); // the old line stays whole
}

QTEST_GUILESS_MAIN(tst_ProblemLine)
#include "tst_ProblemLine.moc"
