#include "common/Cp932.h"

#include <QTest>

class tst_Cp932 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void invalidBytesReported_data();
    void invalidBytesReported();
    void unmappableCharacterReported();
    void codeOf_data();
    void codeOf();
    void leftBytesNeverSplitsACharacter_data();
    void leftBytesNeverSplitsACharacter();
};

void tst_Cp932::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("abc,123") << QByteArray("abc,123");
    QTest::newRow("kana") << QStringLiteral("あア") << QByteArray("\x82\xa0\x83\x41");
    QTest::newRow("ideographic space") << QStringLiteral("　") << QByteArray("\x81\x40");
    QTest::newRow("half-width katakana") << QStringLiteral("ｱ") << QByteArray("\xb1");
    QTest::newRow("kanji") << QStringLiteral("漢") << QByteArray("\x8a\xbf");
    QTest::newRow("fullwidth tilde") << QStringLiteral("～") << QByteArray("\x81\x60");
    QTest::newRow("NEC special") << QStringLiteral("①") << QByteArray("\x87\x40");
    QTest::newRow("backslash stays") << QStringLiteral("C:\\") << QByteArray("C:\\");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb");
}

void tst_Cp932::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const Cp932::Encoded e = Cp932::encode(text);
    QVERIFY(e.ok);
    QCOMPARE(e.bytes, bytes);
    const Cp932::Decoded d = Cp932::decode(bytes);
    QVERIFY(d.ok);
    QCOMPARE(d.text, text);
}

void tst_Cp932::invalidBytesReported_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("lone lead byte at end") << QByteArray("ab\x82") << qsizetype(2)
                                           << QStringLiteral("ab");
    QTest::newRow("bad trail byte") << QByteArray("\x82\xa0x\x82\x20z") << qsizetype(3)
                                    << QStringLiteral("あx");
    QTest::newRow("undefined single byte") << QByteArray("a\xff") << qsizetype(1)
                                           << QStringLiteral("a");
}

void tst_Cp932::invalidBytesReported()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, offset);
    QFETCH(QString, prefix);
    const Cp932::Decoded d = Cp932::decode(bytes);
    QVERIFY(!d.ok);
    QCOMPARE(d.errorOffset, offset);
    QCOMPARE(d.text, prefix);
}

void tst_Cp932::unmappableCharacterReported()
{
    const Cp932::Encoded e = Cp932::encode(QStringLiteral("あ😀い"));
    QVERIFY(!e.ok);
    QCOMPARE(e.errorIndex, 1);
    QVERIFY(!Cp932::encode(QStringLiteral("한")).ok);
}

void tst_Cp932::codeOf_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("code");
    QTest::newRow("ぁ") << QStringLiteral("ぁ") << 0x829F;
    QTest::newRow("ヶ") << QStringLiteral("ヶ") << 0x8396;
    QTest::newRow("〓") << QStringLiteral("〓") << 0x81AC;
    QTest::newRow("∈") << QStringLiteral("∈") << 0x81B8;
    QTest::newRow("A") << QStringLiteral("A") << 0x41;
    QTest::newRow("tab") << QStringLiteral("\t") << 0x09;
    QTest::newRow("surrogate pair") << QStringLiteral("😀") << -1;
}

void tst_Cp932::codeOf()
{
    QFETCH(QString, character);
    QFETCH(int, code);
    const auto found = Cp932::codeOf(character);
    if (code < 0)
        QVERIFY(!found.has_value());
    else
        QCOMPARE(int(found.value_or(0)), code);
}

void tst_Cp932::leftBytesNeverSplitsACharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fits") << QStringLiteral("abc") << 99 << QStringLiteral("abc");
    QTest::newRow("cut in a double-byte char") << QStringLiteral("aあい") << 4
                                               << QStringLiteral("aあ");
    QTest::newRow("exact") << QStringLiteral("aあい") << 5 << QStringLiteral("aあい");
    QTest::newRow("half-width kana is one byte") << QStringLiteral("ｱｲｳ") << 2
                                                 << QStringLiteral("ｱｲ");
}

void tst_Cp932::leftBytesNeverSplitsACharacter()
{
    QFETCH(QString, text);
    QFETCH(int, max);
    QFETCH(QString, expected);
    QCOMPARE(Cp932::leftBytes(text, max), expected);
    QVERIFY(Cp932::byteLength(Cp932::leftBytes(text, max)) <= max);
}

QTEST_APPLESS_MAIN(tst_Cp932)
#include "tst_Cp932.moc"
