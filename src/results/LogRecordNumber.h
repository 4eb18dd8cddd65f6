#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>
#include <string>

// Finds the number of the last numbered line of a log: a line whose first comma-separated
// field is a decimal number (blanks around it allowed). Lines end at CR, LF or CR LF; empty
// lines never count, so the three endings give the same answer.
namespace LogRecordNumber
{

// Reads a first field byte by byte and tells whether it is a decimal number.
class LeadingNumberParser
{
public:
    // Feeds one byte of the line (never CR or LF). Returns true once the answer is known:
    // at the first comma or at a byte that cannot belong to a number.
    bool feed(char c);
    // The number, when everything fed up to the first comma (or the line's end) is one.
    std::optional<double> finish() const;

private:
    enum class State { Lead, Sign, Int, PointNoInt, Frac, ExpMark, ExpSign, ExpDigits, Trail, Bad };
    State m_state = State::Lead;
    bool m_done = false;
    std::string m_text;
};

// The first field's number of one line (without its line end).
std::optional<double> leadingNumber(QByteArrayView line);

struct Result {
    enum Status { Found, NoneFound, ReadError } status = NoneFound;
    double value = 0;
};

// Scans the first size bytes of an open file backwards, reading only as far back as the last
// numbered line.
Result lastNumbered(int fd, qint64 size, qint64 blockSize = 64 * 1024);

} // namespace LogRecordNumber
