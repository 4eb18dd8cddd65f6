#include "common/LogFormat.h"

#include <QTest>

class tst_LogFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitsAtEveryComma_data();
    void splitsAtEveryComma();
};

void tst_LogFormat::splitsAtEveryComma_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("last"); // the last field cut, when the line has room
    const QByteArray sixteen = "0,\"a\",2,3,4,5,6,7,8,9,10,11,12,13,14,15";
    QTest::newRow("sixteen") << sixteen << 16 << 16 << QByteArray("15");
    QTest::newRow("one short") << sixteen.chopped(3) << 16 << 15 << QByteArray("14");
    QTest::newRow("one over") << sixteen + ",x" << 16 << 17 << QByteArray("15");
    QTest::newRow("trailing comma is one more field")
        << sixteen + "," << 16 << 17 << QByteArray("15");
    QTest::newRow("empty line is one empty field") << QByteArray() << 16 << 1 << QByteArray();
    QTest::newRow("first two of many") << sixteen << 2 << 3 << QByteArray("\"a\"");
    QTest::newRow("first two of two") << QByteArray("5,x") << 2 << 2 << QByteArray("x");
}

void tst_LogFormat::splitsAtEveryComma()
{
    QFETCH(QByteArray, line);
    QFETCH(int, capacity);
    QFETCH(int, count);
    QFETCH(QByteArray, last);
    LogFields fields;
    QCOMPARE(LogFormat::splitFields(line, fields.data(), capacity), count);
    QCOMPARE(fields[size_t(qMin(count, capacity) - 1)].toByteArray(), last);
    QCOMPARE(LogFormat::splitLine(line, fields), line.count(',') == 15);
}

QTEST_APPLESS_MAIN(tst_LogFormat)
#include "tst_LogFormat.moc"
