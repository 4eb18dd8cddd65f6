#include "support/TempTree.h"

#include "history/ClassLog.h"
#include "results/DatabaseQueue.h"
#include "results/LogWriter.h"
#include "results/RunRow.h"

#include <QDir>
#include <QTest>

class tst_DatabaseQueue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowsSurviveTheQueue();
    void unreachableServerKeepsEveryRow();
    void aLoggedRunIsNamedByItsLine();
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

void tst_DatabaseQueue::aLoggedRunIsNamedByItsLine()
{
    // The queue names a logged run by the line written, the import by the line read back.
    TempTree tree;
    const QDateTime when(QDate(2026, 4, 1), QTime(9, 0, 0));
    LogWriter writer(sampleRow().run, LogTargets{tree.path(), QStringLiteral("pelko.log")});
    writer.setClock([when] { return when; });
    QVERIFY(writer.write(false));
    ClassLog log;
    QCOMPARE(log.open(tree.file(QStringLiteral("pelko.log"))), ClassLog::Status::Ok);
    QCOMPARE(RunRow::idOfLine(log.fields(0)),
             RunRow::idOfLine(LogWriter::lineOf(writer.run(), when)));
    // The id databases already hold for this line: it must never change.
    QCOMPARE(
        RunRow::idOfLine("0,\"04-01-2026\",\"09:00:00\",\"S1\",\"\x8eR\x93"
                         "c\",\"PC1\",\"s1\",\"jpn_dat.001\",45.5,98.2,3,182,260,35,12,240\r\n"),
        QUuid::fromString(u"b5e48efc-0142-5d58-83ef-1e7fbc089b69"));
}

QTEST_GUILESS_MAIN(tst_DatabaseQueue)
#include "tst_DatabaseQueue.moc"
