#include "RunTrace.h"

void RunTrace::start(qsizetype places)
{
    m_accepted.clear();
    m_accepted.reserve(places);
    m_due = Place();
    m_pieceOpen = false;
    m_strokes = 0;
    m_timer.start();
}

qint64 RunTrace::now() const
{
    if (m_clock)
        return m_clock();
    return m_timer.isValid() ? m_timer.elapsed() : 0;
}

void RunTrace::countStroke()
{
    ++m_strokes;
    ++m_due.strokes;
    m_pieceOpen = false;
}

void RunTrace::aim(qint32 line, qint32 position, const QString& expected, int charClass)
{
    m_due.line = line;
    m_due.position = position;
    m_due.expected = expected;
    m_due.charClass = charClass;
}

void RunTrace::refuse(qint32 line, qint32 position, const QString& expected, int charClass,
                      QStringView typed)
{
    aim(line, position, expected, charClass);
    ++m_due.misses;
    if (m_pieceOpen && !m_due.typedInstead.isEmpty())
        m_due.typedInstead.last() += typed;
    else
        m_due.typedInstead.append(typed.toString());
    m_pieceOpen = true;
}

void RunTrace::accept(qint32 line, qint32 position, const QString& expected, int charClass)
{
    aim(line, position, expected, charClass);
    m_due.acceptedMs = now();
    m_accepted.append(std::move(m_due));
    m_due = Place();
    m_pieceOpen = false;
}

const RunTrace::Place* RunTrace::due() const
{
    return m_due.strokes > 0 || m_due.misses > 0 ? &m_due : nullptr;
}
