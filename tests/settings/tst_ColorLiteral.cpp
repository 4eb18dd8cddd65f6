#include "settings/ColorLiteral.h"
#include "settings/SettingsRules.h"

#include <QTest>

// Colour settings name 0x00BBGGRR values: red in the low byte.
class tst_ColorLiteral : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toColor_data();
    void toColor();
    void roundTrip();
};

void tst_ColorLiteral::toColor_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QColor>("color"); // invalid = falls back
    QTest::newRow("red is the low byte") << QStringLiteral("&H0000FF") << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << QStringLiteral("&HFF0000") << QColor(0, 0, 255);
    QTest::newRow("default background") << QStringLiteral("&HE0E0E0") << QColor(224, 224, 224);
    QTest::newRow("lower-case h, blanks") << QStringLiteral(" &h00ff00 ") << QColor(0, 255, 0);
    QTest::newRow("decimal number") << QStringLiteral("255") << QColor(255, 0, 0);
    QTest::newRow("too large") << QStringLiteral("&H1000000") << QColor();
    QTest::newRow("negative") << QStringLiteral("-1") << QColor();
    QTest::newRow("word") << QStringLiteral("white") << QColor();
    QTest::newRow("empty") << QString() << QColor();
    // Up to four hex digits make a 16-bit number, as everywhere else: the top bit is its sign.
    QTest::newRow("&HFFFF is -1") << QStringLiteral("&HFFFF") << QColor();
    QTest::newRow("&H8000 is negative") << QStringLiteral("&h8000") << QColor();
    QTest::newRow("&H7FFF") << QStringLiteral("&H7FFF") << QColor(255, 127, 0);
    QTest::newRow("yellow needs a fifth digit") << QStringLiteral("&H0FFFF") << QColor(255, 255, 0);
    QTest::newRow("eight digits") << QStringLiteral("&H0000FFFF") << QColor(255, 255, 0);
    QTest::newRow("system colour") << QStringLiteral("&H80000005") << QColor();
    QTest::newRow("octal") << QStringLiteral("&O377") << QColor(255, 0, 0);
}

void tst_ColorLiteral::toColor()
{
    QFETCH(QString, literal);
    QFETCH(QColor, color);
    const QColor fallback(1, 2, 3);
    QCOMPARE(ColorLiteral::toColor(literal, fallback), color.isValid() ? color : fallback);
    // The settings dialog keeps exactly the literals the windows paint with.
    const QString other = QStringLiteral("&H123456");
    QCOMPARE(SettingsRules::shownColorText(literal, other), color.isValid() ? literal : other);
}

void tst_ColorLiteral::roundTrip()
{
    const QColor c(0x12, 0x34, 0x56);
    QCOMPARE(ColorLiteral::fromColor(c), QStringLiteral("&H563412"));
    QCOMPARE(ColorLiteral::toColor(ColorLiteral::fromColor(c)), c);
    QCOMPARE(ColorLiteral::fromBgr(0), QStringLiteral("&H000000"));
}

QTEST_APPLESS_MAIN(tst_ColorLiteral)
#include "tst_ColorLiteral.moc"
