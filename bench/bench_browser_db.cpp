// Prints how the results browser copes with the results database: connecting and the first
// screenful, filtering by a user or a month, sorting, scrolling, the per-user sums, and how
// much memory all that takes. One figure a line, "name value unit", for scripts. The server
// and its rows are bench/browser_db.py's.
//   bench_browser_db HOST PORT DATABASE USER
#include "BenchStats.h"
#include "history/DatabaseRunsModel.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

namespace
{

// What a table view asks for when it shows rows top … top + 39.
int screenful(const QAbstractItemModel& model, int top)
{
    int cells = 0;
    for (int row = top; row < qMin(model.rowCount(), top + 40); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            cells += !model.index(row, column).data().toString().isEmpty();
    }
    return cells;
}

// Until the model has counted every row of a large set, as the status bar waits.
void waitForCount(const DatabaseRunsModel& model)
{
    while (!model.isCounted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_browser_db HOST PORT DATABASE USER\n");
        return 2;
    }
    const PostgresConnection::Parameters server{
        {QStringLiteral("host"), QString::fromLocal8Bit(argv[1])},
        {QStringLiteral("port"), QString::fromLocal8Bit(argv[2])},
        {QStringLiteral("dbname"), QString::fromLocal8Bit(argv[3])},
        {QStringLiteral("user"), QString::fromLocal8Bit(argv[4])}};
    const long rssBefore = peakRssMb();
    DatabaseRunsModel model;
    int cells = 0;
    ClassLogFilter filter;
    filter.passSpeed = 40;
    // As the browser opens: connect, read the choices, every run, the first screenful.
    const double open = secondsOf([&] {
        model.connectTo(server);
        model.setFilter(filter);
        cells += screenful(model, 0);
    });
    const double counted = open + secondsOf([&] { waitForCount(model); });
    if (!model.failure().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(model.failure()));
        return 1;
    }
    const int everyRun = model.rowCount();
    const double end = secondsOf([&] { cells += screenful(model, model.rowCount() - 40); });
    const double middle = secondsOf([&] { cells += screenful(model, model.rowCount() / 2); });
    QRandomGenerator random(7);
    const double pages = secondsOf([&] {
        for (int page = 0; page < 20; ++page)
            cells += screenful(model, int(random.bounded(qMax(1, model.rowCount() - 40))));
    });

    // A teacher types part of a student's ID: the first time reads the list of users.
    filter.user = QStringLiteral("S01234");
    const double userFirst = secondsOf([&] {
        model.setFilter(filter);
        cells += screenful(model, 0);
        (void)model.summary();
    });
    const int userRuns = model.rowCount();
    filter.user = QStringLiteral("佐藤　1999");
    const double userName = secondsOf([&] {
        model.setFilter(filter);
        cells += screenful(model, 0);
        (void)model.summary();
    });
    filter.user.clear();
    filter.from = model.latestDate().addDays(1 - model.latestDate().day()).addMonths(-6);
    filter.to = filter.from.addMonths(1).addDays(-1);
    int monthRuns = 0;
    bool summarized = false;
    const double month = secondsOf([&] {
        model.setFilter(filter);
        cells += screenful(model, 0);
        waitForCount(model);
        monthRuns = model.rowCount();
        summarized = model.summary().has_value();
    });
    const double monthSort = secondsOf([&] {
        model.sort(8, Qt::DescendingOrder);
        cells += screenful(model, 0);
    });
    filter = {};
    filter.passSpeed = 40;
    model.sort(-1);
    const double sortAll = secondsOf([&] {
        model.setFilter(filter);
        model.sort(8, Qt::DescendingOrder);
        cells += screenful(model, 0);
    });
    waitForCount(model);
    const long memory = peakRssMb() - rssBefore;

    std::printf("dbbrowser_runs %d runs\n", everyRun);
    std::printf("dbbrowser_open %.3f s\n", open);
    std::printf("dbbrowser_open_counted %.3f s\n", counted);
    std::printf("dbbrowser_last_screen %.3f s\n", end);
    std::printf("dbbrowser_middle_screen %.3f s\n", middle);
    std::printf("dbbrowser_random_screen %.3f s\n", pages / 20);
    std::printf("dbbrowser_filter_user %.3f s\n", userFirst);
    std::printf("dbbrowser_filter_name %.3f s\n", userName);
    std::printf("dbbrowser_filter_month %.3f s\n", month);
    std::printf("dbbrowser_sort_month %.3f s\n", monthSort);
    std::printf("dbbrowser_sort_all %.3f s\n", sortAll);
    std::printf("dbbrowser_memory %ld MB\n", memory);
    std::fprintf(stderr, "(%d runs of one user, %d in the month%s, %d cells)\n", userRuns,
                 monthRuns, summarized ? ", summed per user" : "", cells);
    return 0;
}
