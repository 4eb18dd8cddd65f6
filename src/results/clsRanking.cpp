#include "clsRanking.h"

#include "RankingReader.h"
#include "app/modPelko.h"
#include "clsLogWriter.h"
#include "common/NumericText.h"
#include "settings/clsKankyo.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

clsRanking::clsRanking()
{
    if (objKankyo)
        RankingMode = objKankyo->RankingMode();
}

bool clsRanking::better(const RankEntry& x, const RankEntry& y)
{
    return x.RankSpeed > y.RankSpeed || (x.RankSpeed == y.RankSpeed && x.RankSeida > y.RankSeida);
}

QByteArrayView clsRanking::TrimQuotes(QByteArrayView field)
{
    if (field.startsWith('"'))
        field = field.sliced(1);
    if (field.endsWith('"'))
        field.chop(1);
    return field;
}

int clsRanking::FindRankPos(int q) const
{
    // Iterative form of the walk up from the last row.
    const RankEntry& candidate = Rank[10];
    for (; q >= 0; --q) {
        const RankEntry& entry = Rank[q];
        if (better(entry, candidate) ||
            (entry.RankSpeed == candidate.RankSpeed && entry.RankSeida == candidate.RankSeida))
            return q + 1;
    }
    return 0;
}

void clsRanking::InsertRank()
{
    if (!RankingMode) {
        const QString id = Rank[10].UserID.trimmed();
        for (int i = 0; i < 10; ++i) {
            if (Rank[i].UserID.trimmed() != id)
                continue;
            if (better(Rank[i], Rank[10]))
                return;
            for (int j = i; j < 9; ++j)
                Rank[j] = Rank[j + 1];
            Rank[9] = RankEntry();
            break;
        }
    }
    const int pos = FindRankPos(9);
    if (pos == 10)
        return;
    for (int j = 9; j > pos; --j)
        Rank[j] = Rank[j - 1];
    Rank[pos] = Rank[10];
}

bool clsRanking::ReadLog(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    RankingReader reader(fd);
    bool failed = false;
    const bool read = reader.run([&](const RankingReader::Line& line) {
        bool ok = true;
        const auto speed = singleOfField(TrimQuotes(line.field(RankingReader::Speed, ok)));
        const auto seida = singleOfField(TrimQuotes(line.field(RankingReader::Seida, ok)));
        if (!ok || !speed || !seida) {
            failed = true;
            return false;
        }
        RankEntry& candidate = Rank[10];
        candidate.RankSpeed = *speed;
        candidate.RankSeida = *seida;
        // Most records lose to the last row; only the others are worth decoding.
        if (better(Rank[9], candidate))
            return true;
        auto text = [&](RankingReader::Field which) {
            return decodeLenient(TrimQuotes(line.field(which, ok)));
        };
        candidate.RankDate = text(RankingReader::Date);
        candidate.UserID = text(RankingReader::UserID);
        candidate.UserName = text(RankingReader::UserName);
        candidate.RankTime = text(RankingReader::Time);
        if (!ok) {
            failed = true;
            return false;
        }
        InsertRank();
        return true;
    });
    ::close(fd);
    return read && !failed;
}

RankRowText clsRanking::RowText(int row) const
{
    const RankEntry& entry = Rank[row];
    if (!(entry.RankSpeed > 0))
        return {};
    return {entry.UserID,
            entry.UserName,
            entry.RankDate,
            NumericText::singleDisplayText(entry.RankSpeed),
            NumericText::singleDisplayText(entry.RankSeida),
            entry.RankTime};
}

void clsRanking::LoadRank(RankBoard& frmRankingbord, const QString& strLogPath,
                          const QString& strLogName)
{
    for (int row = 0; row < 10; ++row)
        frmRankingbord.setRankRow(row, {});
    if (!ReadLog(LogFilePath(strLogPath, strLogName)))
        return;
    for (int row = 0; row < 10; ++row)
        frmRankingbord.setRankRow(row, RowText(row));
}
