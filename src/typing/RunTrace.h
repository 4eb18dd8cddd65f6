#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What happened at each place of a run where something was due: when it was accepted, what
// was typed there instead, and the key presses spent on it. Kept in memory for one run only;
// the counters of the run stay with the checker.
class RunTrace
{
public:
    struct Place {
        QString expected;       // the character; empty where Enter is due
        int charClass = 0;      // its CharClass; 0 where Enter is due
        qint32 line = 0;        // from 1
        qint32 position = 0;    // from 1; one past the last character where Enter is due
        qint64 acceptedMs = -1; // since the start; -1 while still due
        qint32 strokes = 0;     // key presses since the previous place was accepted
        qint32 misses = 0;      // refused characters, one per refusal
        // The refused text, one piece for each series of refusals no key press split
        // (a commit of the input method arrives as one series).
        QStringList typedInstead;

        bool isLineEnd() const { return expected.isEmpty(); }
    };

    using Clock = std::function<qint64()>; // milliseconds since the start

    // A new run with room for this many places; the clock starts now unless one is given
    // (tests).
    void start(qsizetype places = 0);
    void setClock(Clock clock) { m_clock = std::move(clock); }

    void countStroke();
    void refuse(qint32 line, qint32 position, const QString& expected, int charClass,
                QStringView typed);
    void accept(qint32 line, qint32 position, const QString& expected, int charClass);

    // The accepted places, in the order they were typed.
    const QList<Place>& accepted() const { return m_accepted; }
    // The place due when the run ended; null when nothing was spent on it.
    const Place* due() const;
    qint32 strokes() const { return m_strokes; }

private:
    void aim(qint32 line, qint32 position, const QString& expected, int charClass);
    qint64 now() const;

    QList<Place> m_accepted;
    Place m_due;
    bool m_pieceOpen = false;
    qint32 m_strokes = 0;
    QElapsedTimer m_timer;
    Clock m_clock;
};
