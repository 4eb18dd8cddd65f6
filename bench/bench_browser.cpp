// Prints how the results browser copes with a main log of a million records: opening,
// sorting, filtering, a screenful of cells, the CSV export and peak memory. One figure a
// line, "name value unit", for scripts.
//   bench_browser [records]   (default 1000000)
#include "BenchStats.h"
#include "common/Cp932.h"
#include "history/ClassLog.h"
#include "history/ClassLogModel.h"
#include "history/CsvExport.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace
{

// Names of many lengths, in kanji, for a class of 400; ten problems; three months of runs.
void writeBigLog(const QString& path, int records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QRandomGenerator random(4711);
    const QString family[] = {QStringLiteral("佐藤"), QStringLiteral("鈴木"),
                              QStringLiteral("高橋"), QStringLiteral("田中"),
                              QStringLiteral("伊藤")};
    QList<QByteArray> names;
    for (int user = 0; user < 400; ++user)
        names.append(
            Cp932::encode(QString(family[user % 5] + u'　' + QString::number(user))).bytes);
    QByteArray chunk;
    for (int i = 0; i < records; ++i) {
        const int user = int(random.bounded(400));
        const QDate date = QDate(2026, 9, 1).addDays(i * 90 / records);
        const int second = int(random.bounded(86400));
        char head[64];
        std::snprintf(head, sizeof head, "%d,\"%02d-%02d-%04d\",\"%02d:%02d:%02d\",\"S%04d\",\"",
                      i % 32000, date.month(), date.day(), date.year(), second / 3600,
                      second / 60 % 60, second % 60, user);
        chunk += head;
        chunk += names[user];
        chunk += "\",\"PC" + QByteArray::number(user % 40) + "\",\"student\",\"jpn_dat.00" +
                 QByteArray::number(random.bounded(10)) + "\"," +
                 QByteArray::number(random.bounded(1200) / 10.0) + ',' +
                 QByteArray::number(80 + random.bounded(200) / 10.0) + ",3,150,300,40,5,180\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
}

} // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pelko.log"));
    writeBigLog(path, records);
    const long rssBefore = peakRssMb();

    auto log = std::make_shared<ClassLog>();
    const double open = secondsOf([&] { log->open(path); });
    if (log->size() != records) {
        std::fprintf(stderr, "read %d records of %d\n", log->size(), records);
        return 1;
    }
    ClassLogModel model;
    const double show = secondsOf([&] { model.setLog(log); });
    const double sortSpeed = secondsOf([&] { model.sort(8, Qt::DescendingOrder); });
    const double sortName = secondsOf([&] { model.sort(4, Qt::AscendingOrder); });
    const double sortDate = secondsOf([&] { model.sort(1, Qt::AscendingOrder); });
    const double sortErrors = secondsOf([&] { model.sort(10, Qt::AscendingOrder); });
    ClassLogFilter filter;
    filter.user = QStringLiteral("S0123");
    const double filterUser = secondsOf([&] { model.setFilter(filter); });
    const int userRows = model.rowCount();
    filter = {};
    filter.from = QDate(2026, 10, 1);
    filter.to = QDate(2026, 10, 31);
    filter.outcome = ClassLogFilter::Outcome::Passed;
    const double filterDates = secondsOf([&] { model.setFilter(filter); });
    model.setFilter({});

    // A screenful (40 rows, every column) at 1,000 places, as scrolling asks for them.
    QRandomGenerator random(7);
    int cells = 0;
    const double pages = secondsOf([&] {
        for (int page = 0; page < 1000; ++page) {
            const int top = int(random.bounded(qMax(1, model.rowCount() - 40)));
            for (int row = top; row < top + 40; ++row) {
                for (int column = 0; column < model.columnCount(); ++column)
                    cells += model.index(row, column).data().toString().size() > 0;
            }
        }
    });
    QFile csv(dir.filePath(QStringLiteral("out.csv")));
    csv.open(QIODevice::WriteOnly);
    const double exportCsv = secondsOf([&] { CsvExport::write(csv, *log, model.rows(), 25); });
    csv.close();

    std::printf("browser_records %d records\n", records);
    std::printf("browser_log_size %.1f MB\n", QFileInfo(path).size() / 1e6);
    std::printf("browser_open %.3f s\n", open);
    std::printf("browser_show %.3f s\n", show);
    std::printf("browser_sort_speed %.3f s\n", sortSpeed);
    std::printf("browser_sort_name %.3f s\n", sortName);
    std::printf("browser_sort_date %.3f s\n", sortDate);
    std::printf("browser_sort_errors %.3f s\n", sortErrors);
    std::printf("browser_filter_user %.3f s\n", filterUser);
    std::printf("browser_filter_month_passed %.3f s\n", filterDates);
    std::printf("browser_page %.1f us\n", pages / 1000 * 1e6);
    std::printf("browser_csv_export %.3f s\n", exportCsv);
    std::printf("browser_csv_size %.1f MB\n", QFileInfo(csv).size() / 1e6);
    std::printf("browser_memory %ld MB\n", peakRssMb() - rssBefore);
    std::fprintf(stderr, "(%d rows for one user, %d cells)\n", userRows, cells);
    return 0;
}
