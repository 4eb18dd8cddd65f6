#include "common/Error.h"
#include "common/NumericText.h"

#include <QTest>

using namespace NumericText;

class tst_NumericText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsLeadingValue_data();
    void readsLeadingValue();
    void recognisesNumbers_data();
    void recognisesNumbers();
    void toInt16HalvesToEven_data();
    void toInt16HalvesToEven();
    void overflowIsNoNumber();
    void roundOneDecimal_data();
    void roundOneDecimal();
    void formatWhole_data();
    void formatWhole();
    void singleText_data();
    void singleText();
};

void tst_NumericText::readsLeadingValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("word") << QStringLiteral("abc") << 0.0;
    QTest::newRow("leading blanks") << QStringLiteral("   42") << 42.0;
    QTest::newRow("prefix only") << QStringLiteral("12abc") << 12.0;
    QTest::newRow("decimal") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("negative") << QStringLiteral("-7.25x") << -7.25;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("A4 is no number") << QStringLiteral("A4") << 0.0;
    QTest::newRow("hex colour") << QStringLiteral("&HE0E0E0") << double(0xE0E0E0);
    QTest::newRow("hex lower") << QStringLiteral("&hff") << 255.0;
    QTest::newRow("short hex is 16-bit") << QStringLiteral("&HFFFF") << -1.0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("point first") << QStringLiteral(".5") << 0.5;
}

void tst_NumericText::readsLeadingValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingValue(text), value);
}

void tst_NumericText::recognisesNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral("  ") << false;
    QTest::newRow("integer") << QStringLiteral(" 13 ") << true;
    QTest::newRow("decimal") << QStringLiteral("10.5") << true;
    QTest::newRow("trailing junk") << QStringLiteral("10px") << false;
    QTest::newRow("hex") << QStringLiteral("&H1F") << true;
    QTest::newRow("bad hex") << QStringLiteral("&HXY") << false;
    QTest::newRow("sign only") << QStringLiteral("-") << false;
}

void tst_NumericText::recognisesNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumber(text), numeric);
}

void tst_NumericText::toInt16HalvesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected"); // -99999 = out of range
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.6") << 2.6 << 3;
    QTest::newRow("max") << 32767.0 << 32767;
    QTest::newRow("min") << -32768.0 << -32768;
    QTest::newRow("32767.5 rounds out") << 32767.5 << -99999;
    QTest::newRow("too big") << 40000.0 << -99999;
    QTest::newRow("too small") << -32769.0 << -99999;
}

void tst_NumericText::toInt16HalvesToEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    const auto converted = toInt16(value);
    if (expected == -99999)
        QVERIFY(!converted.has_value());
    else
        QCOMPARE(int(converted.value_or(0)), expected);
}

void tst_NumericText::overflowIsNoNumber()
{
    QVERIFY(!toInt16(32768));
    QVERIFY(!toInt16(1e9));
    // Shown as "6:オーバーフローしました。" when it ends the program.
    QCOMPARE(Error::overflow().number(), 6);
}

void tst_NumericText::roundOneDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<float>("expected");
    QTest::newRow("plain") << 85.54 << 85.5f;
    QTest::newRow("up") << 97.26 << 97.3f;
    QTest::newRow("half to even down") << 0.25 << 0.2f;
    QTest::newRow("half to even up") << 0.75 << 0.8f;
    QTest::newRow("rate") << 257.0 / 260.0 * 100 << 98.8f;
}

void tst_NumericText::roundOneDecimal()
{
    QFETCH(double, value);
    QFETCH(float, expected);
    QCOMPARE(roundToTenth(value), expected);
}

void tst_NumericText::formatWhole_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("85.5") << 85.5 << QStringLiteral("86");
    QTest::newRow("84.5") << 84.5 << QStringLiteral("84");
    QTest::newRow("0") << 0.0 << QStringLiteral("0");
    QTest::newRow("1234.4") << 1234.4 << QStringLiteral("1234");
}

void tst_NumericText::formatWhole()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumericText::formatWhole(value), text);
}

void tst_NumericText::singleText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("logForm");
    QTest::addColumn<QString>("displayForm");
    QTest::newRow("whole") << 85.0f << QStringLiteral("85") << QStringLiteral("85");
    QTest::newRow("half") << 0.5f << QStringLiteral(".5") << QStringLiteral("0.5");
    QTest::newRow("negative half") << -0.5f << QStringLiteral("-.5") << QStringLiteral("-0.5");
    QTest::newRow("one decimal") << 85.5f << QStringLiteral("85.5") << QStringLiteral("85.5");
    QTest::newRow("two decimals") << 97.25f << QStringLiteral("97.25") << QStringLiteral("97.25");
    QTest::newRow("float noise cut") << 0.1f << QStringLiteral(".1") << QStringLiteral("0.1");
    QTest::newRow("seven digits") << 1234.567f << QStringLiteral("1234.567")
                                  << QStringLiteral("1234.567");
    QTest::newRow("zero") << 0.0f << QStringLiteral("0") << QStringLiteral("0");
}

void tst_NumericText::singleText()
{
    QFETCH(float, value);
    QFETCH(QString, logForm);
    QFETCH(QString, displayForm);
    QCOMPARE(singleLogText(value), logForm);
    QCOMPARE(singleDisplayText(value), displayForm);
}

QTEST_APPLESS_MAIN(tst_NumericText)
#include "tst_NumericText.moc"
