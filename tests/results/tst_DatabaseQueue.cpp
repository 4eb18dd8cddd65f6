#include "support/TempTree.h"

#include "results/DatabaseQueue.h"
#include "results/RunRow.h"

#include <QDir>
#include <QTest>

class tst_DatabaseQueue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowsSurviveTheQueue();
    void unreachableServerKeepsEveryRow();
};

namespace
{

RunRow sampleRow()
{
    RunRow row;
    row.id = QUuid::createUuid();
    row.loggedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 5, 7));
    row.run.userId = QStringLiteral("S1");
    row.run.userName = QStringLiteral("山田");
    row.run.loginName = QString(); // empty text, not "no value"
    row.run.charsPerMinute = 45.5f;
    row.run.recordNumber = 0;
    row.inLog = true;
    row.kind = RunRow::Kind::Certification;
    row.grade = QStringLiteral("ワープロ検定２級レベル");
    return row;
}

} // namespace

void tst_DatabaseQueue::rowsSurviveTheQueue()
{
    const RunRow row = sampleRow();
    const auto back = RunRow::fromBytes(row.toBytes());
    QVERIFY(back);
    QCOMPARE(back->parameters(), row.parameters());
    // Record 0 is a real number in the log; a run the log did not take has none.
    QCOMPARE(row.parameters().at(1), QStringLiteral("0"));
    RunRow notLogged = row;
    notLogged.inLog = false;
    QVERIFY(notLogged.parameters().at(1).isNull());
    QVERIFY(!row.parameters().at(6).isNull());
    QVERIFY(!RunRow::fromBytes(row.toBytes().chopped(5)));
}

void tst_DatabaseQueue::unreachableServerKeepsEveryRow()
{
    TempTree tree;
    DatabaseQueue queue(tree.file(QStringLiteral("queue")));
    QVERIFY(queue.add(sampleRow()));
    QVERIFY(queue.add(sampleRow()));
    tree.write(QStringLiteral("queue/20260101000000000-x.row"), "{not a row");
    const DatabaseQueue::Sent sent =
        queue.send({{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                    {QStringLiteral("port"), QStringLiteral("1")}},
                   1);
    QCOMPARE(sent.added, 0);
    QCOMPARE(sent.waiting, 3);
    QVERIFY(!sent.failure.isEmpty());
    QCOMPARE(queue.count(), 3);
    // Only the owner may read what waits.
    QCOMPARE(QFileInfo(tree.file(QStringLiteral("queue"))).permissions() &
                 (QFile::ReadGroup | QFile::ReadOther),
             QFile::Permissions());
}

QTEST_GUILESS_MAIN(tst_DatabaseQueue)
#include "tst_DatabaseQueue.moc"
