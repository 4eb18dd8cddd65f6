// The ranking: any log bytes are read without fault, the reader hands over exactly the
// sixteen-field lines, and the table is sorted, at most ten rows, one per user unless repeats
// are shown.
#include "FuzzSupport.h"

#include "common/Cp932.h"
#include "results/Ranking.h"
#include "results/RankingReader.h"

#include <QFile>

#include <cmath>

#include <fcntl.h>
#include <unistd.h>

namespace
{

struct Board : RankingBoard {
    std::array<RankRowText, 10> rows;
    void setRow(int row, const RankRowText& texts) override
    {
        FUZZ_CHECK(row >= 0 && row < 10);
        rows[size_t(row)] = texts;
    }
};

bool blank(const RankRowText& r)
{
    return r.userId.isEmpty() && r.userName.isEmpty() && r.date.isEmpty() && r.speed.isEmpty() &&
           r.accuracy.isEmpty() && r.secondsUsed.isEmpty();
}

// The fields the reader hands over, of every line with exactly sixteen fields.
QList<QList<QByteArray>> plainSixteenFieldLines(const QByteArray& bytes)
{
    static const int wanted[] = {1, 3, 4, 7, 8, 9, 15}; // in the order of RankingReader::Field
    QList<QList<QByteArray>> out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes.at(i) != '\r' && bytes.at(i) != '\n')
            continue;
        const QList<QByteArray> fields = bytes.mid(start, i - start).split(',');
        if (fields.size() == 16) {
            QList<QByteArray> picked;
            for (const int f : wanted)
                picked.append(fields.at(f));
            out.append(picked);
        }
        start = i + 1;
    }
    return out;
}

void checkReader(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    FUZZ_CHECK(fd >= 0);
    QList<QList<QByteArray>> seen;
    RankingReader reader(fd);
    const bool read = reader.run([&](const RankingReader::Line& line) {
        QList<QByteArray> fields;
        for (int f = 0; f < RankingReader::FieldCount; ++f) {
            bool ok = true;
            fields.append(line.field(RankingReader::Field(f), ok));
            FUZZ_CHECK(ok);
        }
        seen.append(fields);
        return true;
    });
    ::close(fd);
    FUZZ_CHECK(read);
    FUZZ_CHECK(seen == plainSixteenFieldLines(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const bool repeats = in.byte() & 1;
    const QByteArray bytes = in.rest();

    static const QString folder = Fuzz::scratchFolder();
    static const QString path = folder + QStringLiteral("/pelko.log");
    Fuzz::writeFile(path, bytes);
    checkReader(path, bytes);

    const Cp932::Decoded strict = Cp932::decode(bytes);
    const QString lenient = decodeLenient(bytes);
    if (strict.ok)
        FUZZ_CHECK(lenient == strict.text);
    else
        FUZZ_CHECK(lenient.startsWith(strict.text) &&
                   lenient.contains(QChar::ReplacementCharacter));

    Ranking ranking;
    ranking.showsRepeats = repeats;
    Board board;
    ranking.load(board, folder, QStringLiteral("pelko.log"));
    const bool readable = Ranking().readLog(path);
    if (!readable) {
        for (const RankRowText& row : board.rows)
            FUZZ_CHECK(blank(row));
        return 0;
    }
    for (int row = 0; row < 10; ++row) {
        const RankEntry& e = ranking.entries[size_t(row)];
        FUZZ_CHECK(std::isfinite(e.speed) && std::isfinite(e.accuracy));
        FUZZ_CHECK(blank(board.rows[size_t(row)]) == !(e.speed > 0));
        if (row == 0)
            continue;
        // Best first: by speed, then by the correct-stroke rate.
        const RankEntry& above = ranking.entries[size_t(row - 1)];
        FUZZ_CHECK(above.speed > e.speed ||
                   (above.speed == e.speed && above.accuracy >= e.accuracy));
        if (!repeats && e.speed > 0) {
            for (int other = 0; other < row; ++other)
                FUZZ_CHECK(ranking.entries[size_t(other)].userId.trimmed() != e.userId.trimmed());
        }
    }
    return 0;
}
