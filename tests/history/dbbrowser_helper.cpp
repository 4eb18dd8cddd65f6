// The results browser's two sources side by side (tests/e2e/e2e_database.py): a main log, and
// a database holding the same runs (imported from it). For each filter and order the browser
// offers, every cell, the per-user sums, one user's chart and the CSV must come out alike.
//   dbbrowser_helper LOG HOST PORT DBNAME USER
// Prints what differs; exit status 0 when nothing does.
#include "history/ClassLog.h"
#include "history/ClassLogModel.h"
#include "history/DatabaseRunsModel.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdio>

namespace
{

QStringList cells(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            texts << model.index(row, column).data().toString();
    }
    return texts;
}

QString summaryText(const RunsTableModel& model)
{
    QString text;
    for (const UserSummary& s : model.summary().value_or(QList<UserSummary>()))
        text += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                    .arg(s.userId, s.userName)
                    .arg(s.runs)
                    .arg(s.bestSpeed)
                    .arg(s.latestSpeed)
                    .arg(s.bestAccuracy);
    return text;
}

QString chartText(const ProgressData& data)
{
    QString text = data.userName + u'\n';
    for (const ProgressPoint& p : data.points)
        text += QStringLiteral("%1 %2 %3 %4\n")
                    .arg(p.when.toString(Qt::ISODate))
                    .arg(p.speed)
                    .arg(p.accuracy)
                    .arg(p.fileName);
    return text;
}

QByteArray csvOf(const RunsTableModel& model)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    return model.writeCsv(out) ? out.data() : QByteArray("(not written)");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 6)
        return 2;
    auto log = std::make_shared<ClassLog>();
    if (log->open(QString::fromLocal8Bit(argv[1])) != ClassLog::Status::Ok)
        return 2;
    ClassLogModel fromLog;
    fromLog.setLog(log);
    DatabaseRunsModel fromDatabase;
    if (!fromDatabase.connectTo({{QStringLiteral("host"), QString::fromLocal8Bit(argv[2])},
                                 {QStringLiteral("port"), QString::fromLocal8Bit(argv[3])},
                                 {QStringLiteral("dbname"), QString::fromLocal8Bit(argv[4])},
                                 {QStringLiteral("user"), QString::fromLocal8Bit(argv[5])}})) {
        std::printf("no connection: %s\n", qPrintable(fromDatabase.failure()));
        return 1;
    }
    auto filter = [](auto change) {
        ClassLogFilter f;
        f.passSpeed = 40;
        change(f);
        return f;
    };
    const struct {
        const char* name;
        ClassLogFilter filter;
        int sortColumn;
        Qt::SortOrder order;
    } cases[] = {
        {"everything in time order", filter([](auto&) {}), -1, Qt::AscendingOrder},
        {"by speed, fastest first", filter([](auto&) {}), 8, Qt::DescendingOrder},
        {"by name", filter([](auto&) {}), 4, Qt::AscendingOrder},
        {"newest first", filter([](auto&) {}), 1, Qt::DescendingOrder},
        {"by verdict", filter([](auto&) {}), ClassLogColumns::PassColumn, Qt::AscendingOrder},
        {"part of an ID, other case", filter([](auto& f) { f.user = QStringLiteral(" s01"); }), -1,
         Qt::AscendingOrder},
        {"part of a name", filter([](auto& f) { f.user = QStringLiteral("鈴木"); }), 10,
         Qt::DescendingOrder},
        {"one ID exactly", filter([](auto& f) {
             f.user = QStringLiteral("S012");
             f.exactUserId = true;
         }),
         -1, Qt::AscendingOrder},
        {"a month, passed", filter([](auto& f) {
             f.from = QDate(2026, 2, 1);
             f.to = QDate(2026, 2, 28);
             f.outcome = ClassLogFilter::Outcome::Passed;
         }),
         -1, Qt::AscendingOrder},
        {"one problem, failed", filter([](auto& f) {
             f.fileName = QStringLiteral("jpn_dat.003");
             f.outcome = ClassLogFilter::Outcome::Failed;
         }),
         2, Qt::AscendingOrder},
    };
    int differences = 0;
    auto compare = [&](const char* name, const char* what, const auto& a, const auto& b) {
        if (a == b)
            return;
        ++differences;
        std::printf("%s: %s differ\n", name, what);
        if constexpr (std::is_same_v<std::decay_t<decltype(a)>, QStringList>) {
            for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
                if (a[i] != b[i]) {
                    std::printf("  first at row %lld, column %lld: log \"%s\", database \"%s\"\n",
                                i / ClassLogColumns::Count, i % ClassLogColumns::Count,
                                qPrintable(a[i]), qPrintable(b[i]));
                    break;
                }
            }
        }
    };
    for (const auto& c : cases) {
        for (RunsTableModel* model : {static_cast<RunsTableModel*>(&fromLog),
                                      static_cast<RunsTableModel*>(&fromDatabase)}) {
            model->sort(-1);
            model->setFilter(c.filter);
            model->sort(c.sortColumn, c.order);
        }
        while (!fromDatabase.isCounted())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (fromLog.rowCount() == 0)
            std::printf("%s: no rows (the case proves nothing)\n", c.name);
        compare(c.name, "row counts", fromLog.rowCount(), fromDatabase.rowCount());
        compare(c.name, "cells", cells(fromLog), cells(fromDatabase));
        compare(c.name, "per-user sums", summaryText(fromLog), summaryText(fromDatabase));
        const QString user = fromLog.rowCount() ? fromLog.userIdAt(0) : QString();
        compare(c.name, "charts", chartText(fromLog.progressOf(user)),
                chartText(fromDatabase.progressOf(user)));
        compare(c.name, "CSV", csvOf(fromLog), csvOf(fromDatabase));
    }
    if (!fromDatabase.failure().isEmpty())
        std::printf("the server said: %s\n", qPrintable(fromDatabase.failure()));
    std::printf("%d differences\n", differences);
    return differences == 0 && fromDatabase.failure().isEmpty() ? 0 : 1;
}
