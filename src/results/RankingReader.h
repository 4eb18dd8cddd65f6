#pragma once

#include "ShortDecimal.h"
#include "common/LogFormat.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Streams a log line by line and hands over only the lines of exactly sixteen fields, with
// the fields the ranking needs. Memory stays fixed whatever the log's length.
class RankingReader
{
public:
    // Fields a ranking candidate is made of.
    enum Field { Date, UserId, UserName, FileName, Speed, Accuracy, SecondsUsed, FieldCount };

    explicit RankingReader(int fd) : m_fd(fd) {}

    // A sixteen-field line; fields are read lazily so long ones cost nothing until asked for.
    class Line
    {
    public:
        // The raw bytes of a field; empty with ok false on a read error.
        QByteArray field(Field which, bool& ok) const;
        // The same without a copy where the field is short; long ones land in longField.
        QByteArrayView bytes(Field which, QByteArray& longField, bool& ok) const;
        // The field without its quotes as singleOfField reads it; false when it is no number.
        // (Not an optional: that comes back through memory, a stall on every record.)
        bool number(Field which, float& value, bool& ok) const;
        // A plain decimal of up to seven bytes without converting it ("123.4" gives 1234 and
        // one place); false for anything else, which number() reads.
        bool decimal(Field which, quint32& digits, int& places) const;
        // Whether number() would read a value, without reading it where that is quicker.
        bool isNumber(Field which, bool& ok) const;
        // Where the field begins in the file.
        qint64 offset(Field which) const { return m_refs[which].start; }

        struct Ref {
            qint64 start = 0;
            qint64 length = 0;
            // The whole field in the block being read, or null: then its first bytes are in
            // head and the rest, if any, in the file.
            const char* inBlock = nullptr;
            char head[64];
        };

    private:
        friend class RankingReader;
        const RankingReader* m_reader = nullptr;
        Ref m_refs[FieldCount];
    };

    // The value number() gives for a decimal's digits and places (at most six).
    static float decimalValue(quint32 digits, int places);
    // The digits of a decimal are always below this.
    static constexpr quint32 DecimalDigitsEnd = 10000000;

    // Calls onLine for every sixteen-field line until it returns false. False on a read error.
    bool run(const std::function<bool(const Line&)>& onLine);

private:
    int m_fd;
};

inline bool RankingReader::Line::decimal(Field which, quint32& digits, int& places) const
{
    const Ref& ref = m_refs[which];
    quint64 word;
    unsigned points;
    if (!ref.inBlock || !ShortDecimal::read(ref.inBlock, qsizetype(ref.length), word, points))
        return false;
    ShortDecimal::digitsOf(word, qsizetype(ref.length), points, digits, places);
    return true;
}

inline bool RankingReader::Line::isNumber(Field which, bool& ok) const
{
    const Ref& ref = m_refs[which];
    quint64 word;
    unsigned points;
    if (ref.inBlock && ShortDecimal::read(ref.inBlock, qsizetype(ref.length), word, points))
        return true;
    float value;
    return number(which, value, ok);
}

// Text of log bytes; bytes that are not Shift-JIS become U+FFFD instead of failing.
QString decodeLenient(QByteArrayView bytes);

// A field's value as a single-precision number, as the log's numbers are read back; empty
// when the field is not a number or does not fit.
std::optional<float> singleOfField(QByteArrayView bytes);
