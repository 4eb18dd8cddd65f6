#include "Ranking.h"

#include "LogColumns.h"
#include "LogWriter.h"
#include "RankingReader.h"
#include "common/Cp932.h"
#include "common/NumericText.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace
{

// Whether a plain decimal's value is below the lowest row's speed, told from its digits
// without dividing: most records of a long log are, and need no value.
class SpeedBar
{
public:
    void set(float speed)
    {
        m_speed = speed;
        m_least.fill(Unknown);
    }

    bool below(quint32 digits, int places)
    {
        quint32& least = m_least[size_t(places)];
        if (least == Unknown)
            least = leastReaching(places);
        return digits < least;
    }

private:
    static constexpr quint32 Unknown = ~quint32(0);

    // The values grow with the digits, so the least digits that reach the speed are found by
    // halving; the end of the range when none do.
    quint32 leastReaching(int places) const
    {
        quint32 low = 0;
        quint32 high = RankingReader::DecimalDigitsEnd;
        while (low < high) {
            const quint32 middle = low + (high - low) / 2;
            if (RankingReader::decimalValue(middle, places) >= m_speed)
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    }

    float m_speed = 0;
    std::array<quint32, 7> m_least{};
};

QByteArrayView drillFileName()
{
    static const QByteArray name = Cp932::encode(LogColumns::DrillFileName).bytes;
    return name;
}

} // namespace

bool Ranking::better(const RankEntry& x, const RankEntry& y)
{
    return x.speed > y.speed || (x.speed == y.speed && x.accuracy > y.accuracy);
}

QByteArrayView Ranking::trimQuotes(QByteArrayView field)
{
    return unquoted(field);
}

int Ranking::insertPosition(int fromRow) const
{
    // Below the lowest row that beats or ties the candidate: a tie keeps the older row first.
    const RankEntry& candidate = entries[10];
    for (int row = fromRow; row >= 0; --row) {
        const RankEntry& entry = entries[row];
        if (better(entry, candidate) ||
            (entry.speed == candidate.speed && entry.accuracy == candidate.accuracy))
            return row + 1;
    }
    return 0;
}

void Ranking::insertCandidate()
{
    if (!showsRepeats) {
        const QString id = entries[10].userId.trimmed();
        for (int i = 0; i < 10; ++i) {
            if (entries[i].userId.trimmed() != id)
                continue;
            if (better(entries[i], entries[10]))
                return;
            for (int j = i; j < 9; ++j)
                entries[j] = entries[j + 1];
            entries[9] = RankEntry();
            break;
        }
    }
    const int pos = insertPosition(9);
    if (pos == 10)
        return;
    for (int j = 9; j > pos; --j)
        entries[j] = entries[j - 1];
    entries[pos] = entries[10];
}

bool Ranking::readLog(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    RankingReader reader(fd);
    bool failed = false;
    SpeedBar bar;
    bar.set(entries[9].speed);
    const bool read = reader.run([&](const RankingReader::Line& line) {
        bool ok = true;
        RankEntry& candidate = entries[10];
        // Most records lose to the last row on speed alone; their rate need only be a number.
        quint32 digits;
        int places;
        if (line.decimal(RankingReader::Speed, digits, places) && bar.below(digits, places)) {
            if (line.isNumber(RankingReader::Accuracy, ok) && ok)
                return true;
            failed = true;
            return false;
        }
        const bool numbers = line.number(RankingReader::Speed, candidate.speed, ok) &&
                             line.number(RankingReader::Accuracy, candidate.accuracy, ok);
        if (!ok || !numbers) {
            failed = true;
            return false;
        }
        // Most records lose to the last row; only the others are worth decoding.
        if (better(entries[9], candidate))
            return true;
        if (unquoted(line.field(RankingReader::FileName, ok)) == drillFileName())
            return true;
        auto text = [&](RankingReader::Field which) {
            return decodeLenient(trimQuotes(line.field(which, ok)));
        };
        candidate.date = text(RankingReader::Date);
        candidate.userId = text(RankingReader::UserId);
        candidate.userName = text(RankingReader::UserName);
        candidate.secondsUsed = text(RankingReader::SecondsUsed);
        if (!ok) {
            failed = true;
            return false;
        }
        insertCandidate();
        bar.set(entries[9].speed);
        return true;
    });
    ::close(fd);
    return read && !failed;
}

RankRowText Ranking::rowText(int row) const
{
    const RankEntry& entry = entries[row];
    if (!(entry.speed > 0))
        return {};
    return {entry.userId,
            entry.userName,
            entry.date,
            NumericText::singleDisplayText(entry.speed),
            NumericText::singleDisplayText(entry.accuracy),
            entry.secondsUsed};
}

void Ranking::load(RankingBoard& board, const QString& logFolder, const QString& logName)
{
    for (int row = 0; row < 10; ++row)
        board.setRow(row, {});
    if (!readLog(logFilePath(logFolder, logName)))
        return;
    for (int row = 0; row < 10; ++row)
        board.setRow(row, rowText(row));
}
