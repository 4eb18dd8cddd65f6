#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

// One row of the ranking.
struct RankEntry {
    QString RankDate;
    QString UserID;
    QString UserName;
    float RankSpeed = 0;
    float RankSeida = 0;
    QString RankTime;
};

// The texts of one row as the ranking window shows them.
struct RankRowText {
    QString UserID;
    QString UserName;
    QString Date;
    QString Speed;
    QString Seida;
    QString Time;
};

// Whatever shows the ten rows (the ranking window, or a test).
class RankBoard
{
public:
    virtual ~RankBoard() = default;
    virtual void setRankRow(int row, const RankRowText& texts) = 0;
};

// The ten best results of the main log, by speed and then by correct-stroke rate.
class clsRanking
{
public:
    clsRanking();

    // False: one row per user ID at most. True: every record competes.
    bool RankingMode = false;
    // 0 … 9 the ranking, best first; 10 the candidate being offered.
    std::array<RankEntry, 11> Rank;

    // Blanks the board, reads the log and shows the rows with a speed above 0.
    void LoadRank(RankBoard& frmRankingbord, const QString& strLogPath, const QString& strLogName);

    // Builds the table from the log at path. False when the log cannot be read or holds a
    // usable line whose speed or rate is not a number; the table must then stay blank.
    bool ReadLog(const QString& path);

    // The texts of row 0 … 9; blank for rows whose speed is not above 0.
    RankRowText RowText(int row) const;

    // A field without one quote at its start and one at its end.
    static QByteArrayView TrimQuotes(QByteArrayView field);
    int FindRankPos(int q) const;
    void InsertRank();

private:
    static bool better(const RankEntry& x, const RankEntry& y);
};
