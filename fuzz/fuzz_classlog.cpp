// The results browser's log index: any log bytes are read without fault; the records are
// exactly the sixteen-field lines of a plain splitter whose speed and rate are numbers; the
// filters let through exactly the rows a plain check does; a sort is a permutation in order;
// the per-user summary counts every row; the CSV parses back by RFC 4180 to the cells.
#include "FuzzSupport.h"

#include "common/LogFormat.h"
#include "history/ClassLog.h"
#include "history/ClassLogQuery.h"
#include "history/CsvExport.h"
#include "results/RankingReader.h"

#include <QBuffer>

#include <algorithm>

namespace
{

QList<QList<QByteArray>> plainRecords(const QByteArray& bytes, int& otherLines, int& notNumbers)
{
    QList<QList<QByteArray>> records;
    otherLines = notNumbers = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes.at(i) != '\r' && bytes.at(i) != '\n')
            continue;
        const QByteArray line = bytes.mid(start, i - start);
        start = i + 1;
        if (line.isEmpty())
            continue;
        QList<QByteArray> fields = line.split(',');
        if (fields.size() != 16 || line.size() > ClassLog::MaxLineLength) {
            ++otherLines;
            continue;
        }
        for (QByteArray& field : fields)
            field = LogFormat::unquoted(field).toByteArray();
        if (singleOfField(fields[8]) && singleOfField(fields[9]))
            records.append(fields);
        else
            ++notNumbers;
    }
    return records;
}

// RFC 4180: fields split by commas, rows by CR LF, quoted fields with doubled quotes.
QList<QStringList> parseCsv(const QByteArray& bytes, bool& wellFormed)
{
    QList<QStringList> rows;
    QStringList row;
    QByteArray field;
    wellFormed = true;
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (bytes.at(i) == '"') {
            for (++i;; ++i) {
                if (i >= bytes.size()) {
                    wellFormed = false;
                    return rows;
                }
                if (bytes.at(i) == '"') {
                    if (i + 1 < bytes.size() && bytes.at(i + 1) == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += bytes.at(i);
            }
        }
        if (i < bytes.size() && bytes.at(i) == ',') {
            row.append(QString::fromUtf8(field));
            field.clear();
            ++i;
        } else if (i + 1 < bytes.size() && bytes.at(i) == '\r' && bytes.at(i + 1) == '\n') {
            row.append(QString::fromUtf8(field));
            field.clear();
            rows.append(row);
            row.clear();
            i += 2;
        } else if (i < bytes.size()) {
            if (bytes.at(i) == '"' || bytes.at(i) == '\r' || bytes.at(i) == '\n')
                wellFormed = false;
            field += bytes.at(i++);
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        wellFormed = false;
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const uint8_t choices = in.byte();
    const uint8_t pick = in.byte();
    const uint16_t fromOffset = in.word();
    const uint8_t sortColumn = in.byte() % ClassLogColumns::Count;
    const QByteArray bytes = in.rest();

    static const QString folder = Fuzz::scratchFolder();
    static const QString path = folder + QStringLiteral("/pelko.log");
    Fuzz::writeFile(path, bytes);
    ClassLog log;
    FUZZ_CHECK(log.open(path) == ClassLog::Status::Ok);

    int otherLines = 0, notNumbers = 0;
    const QList<QList<QByteArray>> expected = plainRecords(bytes, otherLines, notNumbers);
    FUZZ_CHECK(log.size() == expected.size());
    FUZZ_CHECK(log.wrongFieldCountLines() == otherLines && log.notNumberLines() == notNumbers);
    for (int row = 0; row < log.size(); ++row) {
        const std::array<QByteArrayView, 16> fields = log.fields(row);
        for (int column = 0; column < 16; ++column)
            FUZZ_CHECK(fields[size_t(column)] == expected[row][column]);
    }

    // A filter on a user text of the log, a period around its dates, an outcome.
    ClassLogFilter filter;
    filter.passSpeed = pick % 60;
    if (log.size() > 0 && (choices & 1)) {
        filter.user = log.text(pick % log.size(), 3 + (choices >> 1 & 1)).left(choices >> 4);
        filter.exactUserId = choices & 4;
    }
    if (choices & 8 && log.earliestDate().isValid()) {
        filter.from = log.earliestDate().addDays(fromOffset % 64);
        filter.to = filter.from.addDays(pick % 32);
    }
    filter.outcome = ClassLogFilter::Outcome((choices >> 5) % 3);
    const std::vector<int> rows = selectRows(log, filter);
    std::vector<int> plain;
    for (int row = 0; row < log.size(); ++row) {
        const QString id = log.text(row, 3), name = log.text(row, 4);
        const QString user = filter.user.trimmed();
        const bool userOk =
            user.isEmpty() || (filter.exactUserId ? id.trimmed() == user
                                                  : id.contains(user, Qt::CaseInsensitive) ||
                                                        name.contains(user, Qt::CaseInsensitive));
        const QDate day = log.when(row).date();
        const bool dayOk =
            !filter.from.isValid() || (day.isValid() && day >= filter.from && day <= filter.to);
        const bool passed = ClassLogColumns::cellText(log, row, ClassLogColumns::PassColumn,
                                                      filter.passSpeed) == u"合格";
        const bool outcomeOk = filter.outcome == ClassLogFilter::Outcome::Any ||
                               passed == (filter.outcome == ClassLogFilter::Outcome::Passed);
        if (userOk && dayOk && outcomeOk)
            plain.push_back(row);
    }
    FUZZ_CHECK(rows == plain);

    std::vector<int> sorted = rows;
    const Qt::SortOrder order = choices & 2 ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortRows(log, sorted, sortColumn, order, filter.passSpeed);
    std::vector<int> same = sorted;
    std::sort(same.begin(), same.end());
    FUZZ_CHECK(same == rows);
    for (size_t i = 1; i < sorted.size(); ++i) {
        const float a = log.record(sorted[i - 1]).speed, b = log.record(sorted[i]).speed;
        if (sortColumn == 8)
            FUZZ_CHECK(order == Qt::AscendingOrder ? a <= b : a >= b);
    }

    int runs = 0;
    for (const UserSummary& user : summarize(log, rows)) {
        FUZZ_CHECK(user.runs > 0 && user.bestSpeed >= user.latestSpeed);
        runs += user.runs;
    }
    FUZZ_CHECK(runs == int(rows.size()));

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    FUZZ_CHECK(CsvExport::write(out, log, rows, filter.passSpeed));
    FUZZ_CHECK(out.data().startsWith("\xEF\xBB\xBF"));
    bool wellFormed = false;
    const QList<QStringList> table = parseCsv(out.data().mid(3), wellFormed);
    FUZZ_CHECK(wellFormed && table.size() == qsizetype(rows.size()) + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const QStringList cells = ClassLogColumns::rowTexts(log, rows[i], filter.passSpeed);
        const QStringList& parsed = table[qsizetype(i) + 1];
        FUZZ_CHECK(parsed.size() == cells.size());
        // A cell a spreadsheet would run may carry a leading apostrophe.
        for (qsizetype c = 0; c < cells.size(); ++c)
            FUZZ_CHECK(parsed[c] == cells[c] || parsed[c] == u'\'' + cells[c]);
    }
    return 0;
}
