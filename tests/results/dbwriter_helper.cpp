// A PC's worth of runs for the results database tests:
//   dbwriter_helper RUNS HOST PORT DBNAME USER [PAUSE-MS [PATIENCE-MS]]
// Each run goes into this process's queue (APPDATA decides where) and the queue is sent, as
// the test window does after every run; rows the server cannot take wait for the next run.
// The last send waits for the server up to PATIENCE-MS (a minute unless told). Prints the id
// of each run once it is queued, and at the end how many rows still wait.
#include "results/DatabaseQueue.h"
#include "results/RunRow.h"

#include <QCoreApplication>
#include <QThread>
#include <QUuid>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 6)
        return 2;
    const int runs = QByteArray(argv[1]).toInt();
    const int pauseMs = argc > 6 ? QByteArray(argv[6]).toInt() : 0;
    const int patienceMs = argc > 7 ? QByteArray(argv[7]).toInt() : 60'000;
    const PostgresConnection::Parameters server = {
        {QStringLiteral("host"), QString::fromLocal8Bit(argv[2])},
        {QStringLiteral("port"), QString::fromLocal8Bit(argv[3])},
        {QStringLiteral("dbname"), QString::fromLocal8Bit(argv[4])},
        {QStringLiteral("user"), QString::fromLocal8Bit(argv[5])}};
    DatabaseQueue queue(DatabaseQueue::defaultFolder());
    for (int i = 0; i < runs; ++i) {
        RunRow row;
        row.id = QUuid::createUuid();
        row.loggedAt = QDateTime::currentDateTime();
        row.run.userId = QStringLiteral("pc%1").arg(QCoreApplication::applicationPid());
        row.run.userName = QStringLiteral("生徒");
        row.run.fileName = QStringLiteral("jpn_dat.001");
        row.run.recordNumber = i;
        row.inLog = true;
        row.run.charsPerMinute = 40 + i % 50;
        row.site = QStringLiteral("load");
        // Every tenth run gets a certificate, queued behind its run as the test window does.
        if (!queue.add(row) ||
            (i % 10 == 0 && !queue.add(CertificateRow{row.id, QStringLiteral("TEST-CODE"),
                                                      row.loggedAt.addMSecs(1)})))
            return 1;
        std::printf("queued %s\n", qPrintable(row.id.toString(QUuid::WithoutBraces)));
        std::fflush(stdout);
        queue.send(server, 2);
        QThread::msleep(pauseMs);
    }
    queue.send(server, 2, patienceMs);
    std::printf("waiting %d\n", queue.count());
    return 0;
}
