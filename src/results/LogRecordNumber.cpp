#include "LogRecordNumber.h"

#include <QByteArray>

#include <cerrno>
#include <charconv>
#include <unistd.h>

namespace LogRecordNumber
{

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isExponent(char c)
{
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}
bool isSign(char c)
{
    return c == '+' || c == '-';
}
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

qint64 readAt(int fd, char* into, qint64 length, qint64 offset)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, into + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? -1 : done;
        done += got;
    }
    return done;
}

} // namespace

bool LeadingNumberParser::feed(char c)
{
    if (m_done)
        return true;
    if (c == ',') {
        m_done = true;
        return true;
    }
    auto keep = [&](State next, char stored) {
        m_state = next;
        m_text.push_back(stored);
    };
    switch (m_state) {
    case State::Lead:
        if (isBlank(c))
            break;
        if (isSign(c))
            keep(State::Sign, c);
        else if (isDigit(c))
            keep(State::Int, c);
        else if (c == '.')
            keep(State::PointNoInt, c);
        else
            m_state = State::Bad;
        break;
    case State::Sign:
        if (isDigit(c))
            keep(State::Int, c);
        else if (c == '.')
            keep(State::PointNoInt, c);
        else
            m_state = State::Bad;
        break;
    case State::Int:
    case State::Frac:
        if (isDigit(c))
            keep(m_state, c);
        else if (c == '.' && m_state == State::Int)
            keep(State::Frac, c);
        else if (isExponent(c))
            keep(State::ExpMark, 'e');
        else if (isBlank(c))
            m_state = State::Trail;
        else
            m_state = State::Bad;
        break;
    case State::PointNoInt:
        if (isDigit(c))
            keep(State::Frac, c);
        else
            m_state = State::Bad;
        break;
    case State::ExpMark:
        if (isSign(c))
            keep(State::ExpSign, c);
        else if (isDigit(c))
            keep(State::ExpDigits, c);
        else
            m_state = State::Bad;
        break;
    case State::ExpSign:
    case State::ExpDigits:
        if (isDigit(c))
            keep(State::ExpDigits, c);
        else if (isBlank(c) && m_state == State::ExpDigits)
            m_state = State::Trail;
        else
            m_state = State::Bad;
        break;
    case State::Trail:
        if (!isBlank(c))
            m_state = State::Bad;
        break;
    case State::Bad:
        break;
    }
    if (m_state == State::Bad)
        m_done = true;
    return m_done;
}

std::optional<double> LeadingNumberParser::finish() const
{
    if (m_state != State::Int && m_state != State::Frac && m_state != State::ExpDigits &&
        m_state != State::Trail)
        return std::nullopt;
    const char* first = m_text.data();
    const char* last = first + m_text.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

std::optional<double> leadingNumber(QByteArrayView line)
{
    LeadingNumberParser parser;
    for (const char c : line) {
        if (parser.feed(c))
            break;
    }
    return parser.finish();
}

namespace
{

// Checks the first field of the line [start, end), using the block already read where it can.
std::optional<double> numberOfLine(int fd, qint64 start, qint64 end, const QByteArray& block,
                                   qint64 blockStart, bool& readError)
{
    LeadingNumberParser parser;
    qint64 pos = start;
    const qint64 blockEnd = blockStart + block.size();
    if (pos >= blockStart && pos < blockEnd) {
        const qint64 stop = qMin(end, blockEnd);
        for (; pos < stop; ++pos) {
            if (parser.feed(block.at(pos - blockStart)))
                return parser.finish();
        }
    }
    char chunk[4096];
    while (pos < end) {
        const qint64 got = readAt(fd, chunk, qMin<qint64>(sizeof chunk, end - pos), pos);
        if (got <= 0) {
            readError = true;
            return std::nullopt;
        }
        for (qint64 i = 0; i < got; ++i) {
            if (parser.feed(chunk[i]))
                return parser.finish();
        }
        pos += got;
    }
    return parser.finish();
}

} // namespace

Result lastNumbered(int fd, qint64 size, qint64 blockSize)
{
    Result result;
    QByteArray block;
    qint64 lineEnd = size; // end of the line whose start is still being looked for
    qint64 pos = size;     // everything from here on has been looked at
    bool readError = false;
    while (pos > 0) {
        const qint64 start = qMax<qint64>(0, pos - blockSize);
        block.resize(pos - start);
        if (readAt(fd, block.data(), block.size(), start) != block.size()) {
            result.status = Result::ReadError;
            return result;
        }
        for (qint64 i = pos - 1; i >= start; --i) {
            if (!isLineEnd(block.at(i - start)))
                continue;
            if (i + 1 < lineEnd) {
                const auto number = numberOfLine(fd, i + 1, lineEnd, block, start, readError);
                if (readError) {
                    result.status = Result::ReadError;
                    return result;
                }
                if (number) {
                    result.status = Result::Found;
                    result.value = *number;
                    return result;
                }
            }
            lineEnd = i;
        }
        pos = start;
    }
    if (lineEnd > 0) {
        const auto number = numberOfLine(fd, 0, lineEnd, block, 0, readError);
        if (readError) {
            result.status = Result::ReadError;
        } else if (number) {
            result.status = Result::Found;
            result.value = *number;
        }
    }
    return result;
}

} // namespace LogRecordNumber
