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
    void charactersByPositionFromOne();
    void settingAgainReplacesCharacters();
    void overlongLineRefused();
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
    QCOMPARE(line.charAt(10).text(), QStringLiteral("𠮷"));

    ProblemLine empty;
    empty.setText(QString());
    QCOMPARE(empty.count(), 0);
    QVERIFY(empty.begin() == empty.end());
}

void tst_ProblemLine::charactersByPositionFromOne()
{
    ProblemLine line;
    line.setText(QStringLiteral("日本語です"));
    QCOMPARE(line.charAt(1).text(), QStringLiteral("日"));
    QCOMPARE(line.charAt(3).text(), QStringLiteral("語"));
    QCOMPARE(line.charAt(5).text(), QStringLiteral("す"));
}

void tst_ProblemLine::settingAgainReplacesCharacters()
{
    ProblemLine line;
    line.setText(QStringLiteral("長い行です"));
    line.setText(QStringLiteral("ab"));
    QCOMPARE(line.count(), 2);
    QCOMPARE(line.charAt(1).text(), QStringLiteral("a"));
    QCOMPARE(line.charAt(2).text(), QStringLiteral("b"));
}

void tst_ProblemLine::overlongLineRefused()
{
    ProblemLine line;
    QVERIFY(line.setText(QString(32767, u'あ')));
    QCOMPARE(line.count(), 32767);
    QCOMPARE(line.charAt(32767).charClass(), 1);

    QVERIFY(!line.setText(QString(32768, u'a')));
    QCOMPARE(line.count(), 32767); // the old line stays whole
    QCOMPARE(line.text(), QString(32767, u'あ'));
}

QTEST_GUILESS_MAIN(tst_ProblemLine)
#include "tst_ProblemLine.moc"
