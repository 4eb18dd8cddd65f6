#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

// One row of the ranking.
struct RankEntry {
    QString date;
    QString userId;
    QString userName;
    float speed = 0;
    float accuracy = 0;
    QString secondsUsed;
};

// The texts of one row as the ranking window shows them.
struct RankRowText {
    QString userId;
    QString userName;
    QString date;
    QString speed;
    QString accuracy;
    QString secondsUsed;
};

// Whatever shows the ten rows (the ranking window, or a test).
class RankingBoard
{
public:
    virtual ~RankingBoard() = default;
    virtual void setRow(int row, const RankRowText& texts) = 0;
    // Why the rows are blank (the file and the cause), or empty when they are not.
    virtual void setFailure(const QString& text) { Q_UNUSED(text); }
};

// The ten best results of the main log, by speed and then by correct-stroke rate.
class Ranking
{
public:
    // False: one row per user ID at most. True: every record competes. The caller copies it
    // from the settings.
    bool showsRepeats = false;
    // 0 … 9 the ranking, best first; 10 the candidate being offered.
    std::array<RankEntry, 11> entries;

    // Blanks the board, reads the log and shows the rows with a speed above 0.
    void load(RankingBoard& board, const QString& logFolder, const QString& logName);

    // Builds the table from the log at path. False when the log cannot be read or holds a
    // usable line whose speed or rate is not a number; the table must then stay blank.
    bool readLog(const QString& path);
    // After readLog: why the table is blank, naming the file, the line and the cause.
    QString failure;

    // The texts of row 0 … 9; blank for rows whose speed is not above 0.
    RankRowText rowText(int row) const;

    int insertPosition(int fromRow) const;
    void insertCandidate();

private:
    static bool better(const RankEntry& x, const RankEntry& y);
};
