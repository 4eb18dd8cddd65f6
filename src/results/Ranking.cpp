#include "Ranking.h"

#include "RankingReader.h"
#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "common/NumericText.h"
#include "platform/LogFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

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

// The number of the line holding the byte at offset, counting the line ends the reader
// splits at: LF, CR LF and a lone CR.
qint64 lineNumberAt(int fd, qint64 offset)
{
    qint64 number = 1;
    char previous = 0;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < offset;) {
        const ssize_t got =
            ::pread(fd, block.data(), size_t(std::min<qint64>(offset - at, block.size())), at);
        if (got <= 0)
            break;
        for (const char c : QByteArrayView(block.constData(), got)) {
            if (c == '\n' || (previous == '\r' && c != '\n'))
                ++number;
            previous = c;
        }
        at += got;
    }
    return number;
}

QString logLabel(const QString& path)
{
    return QStringLiteral("ログファイル ") + path;
}

QByteArrayView drillFileName()
{
    static const QByteArray name = Cp932::encode(LogFormat::DrillFileName).bytes;
    return name;
}

} // namespace

bool Ranking::better(const RankEntry& x, const RankEntry& y)
{
    return x.speed > y.speed || (x.speed == y.speed && x.accuracy > y.accuracy);
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
    failure.clear();
    const int fd = openRegularFile(QFile::encodeName(path), O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            failure = logLabel(path) + QStringLiteral(" はまだありません。テストの結果が記録"
                                                      "されるとランキングに載ります。");
        else if (errno == NotRegularFile)
            failure = logLabel(path) +
                      QStringLiteral(" を開けません（ふつうのファイルではありません）。");
        else
            failure = logLabel(path) + QStringLiteral(" を開けません（") +
                      QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral("）。");
        return false;
    }
    RankingReader reader(fd);
    bool failed = false;
    qint64 failedAt = -1;
    QByteArray badSpeed;
    QByteArray badAccuracy;
    // The line is named for the user to fix; the table stays blank meanwhile.
    auto notNumber = [&](const RankingReader::Line& line) {
        bool ok = true;
        failed = true;
        failedAt = line.offset(RankingReader::Speed);
        badSpeed = line.field(RankingReader::Speed, ok).left(40);
        badAccuracy = line.field(RankingReader::Accuracy, ok).left(40);
        return false;
    };
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
            if (!ok) {
                failed = true;
                return false;
            }
            return notNumber(line);
        }
        const bool numbers = line.number(RankingReader::Speed, candidate.speed, ok) &&
                             line.number(RankingReader::Accuracy, candidate.accuracy, ok);
        if (!ok) {
            failed = true;
            return false;
        }
        if (!numbers)
            return notNumber(line);
        // Most records lose to the last row; only the others are worth decoding.
        if (better(entries[9], candidate))
            return true;
        if (LogFormat::unquoted(line.field(RankingReader::FileName, ok)) == drillFileName())
            return true;
        auto text = [&](RankingReader::Field which) {
            return decodeLenient(LogFormat::unquoted(line.field(which, ok)));
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
    const int readError = errno;
    const qint64 failedLine = failedAt >= 0 ? lineNumberAt(fd, failedAt) : 0;
    ::close(fd);
    if (failedAt >= 0) {
        failure = logLabel(path) + QStringLiteral(" の ") + QString::number(failedLine) +
                  QStringLiteral(" 行目は、速度か正打率が数字ではありません（速度「") +
                  decodeLenient(badSpeed) + QStringLiteral("」、正打率「") +
                  decodeLenient(badAccuracy) +
                  QStringLiteral("」）。この行を直すまでランキングは表示できません。");
    } else if (!read || failed) {
        failure = logLabel(path) + QStringLiteral(" を読み込めません（") +
                  QString::fromLocal8Bit(std::strerror(read ? EIO : readError)) +
                  QStringLiteral("）。");
    } else if (!(entries[0].speed > 0)) {
        failure = logLabel(path) + QStringLiteral(" には、ランキングに載る記録（速度が 0 より"
                                                  "大きい 16 列の行。弱点練習は除く）があり"
                                                  "ません。");
    }
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
    const bool read = readLog(logFilePath(logFolder, logName));
    board.setFailure(failure);
    if (!read)
        return;
    for (int row = 0; row < 10; ++row)
        board.setRow(row, rowText(row));
}
