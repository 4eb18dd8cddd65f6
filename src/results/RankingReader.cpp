#include "RankingReader.h"

#include "LogRecordNumber.h"
#include "common/Cp932.h"
#include "common/NumericText.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace
{

constexpr int LogFieldCount = 16;
constexpr qsizetype BlockSize = 256 * 1024;

// Which candidate field each of the sixteen log fields fills, if any.
constexpr int slotOf[LogFieldCount] = {-1,
                                       RankingReader::Date,
                                       -1,
                                       RankingReader::UserId,
                                       RankingReader::UserName,
                                       -1,
                                       -1,
                                       -1,
                                       RankingReader::Speed,
                                       RankingReader::Accuracy,
                                       -1,
                                       -1,
                                       -1,
                                       -1,
                                       -1,
                                       RankingReader::SecondsUsed};

} // namespace

QByteArray RankingReader::Line::field(Field which, bool& ok) const
{
    const Ref& ref = m_refs[which];
    if (ref.length <= qint64(sizeof ref.head))
        return QByteArray(ref.head, qsizetype(ref.length));
    QByteArray bytes(qsizetype(ref.length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < ref.length) {
        const ssize_t got = ::pread(m_reader->m_fd, bytes.data() + done, size_t(ref.length - done),
                                    off_t(ref.start + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = false;
            return {};
        }
        done += got;
    }
    return bytes;
}

bool RankingReader::run(const std::function<bool(const Line&)>& onLine)
{
    QByteArray block(BlockSize, Qt::Uninitialized);
    Line line;
    line.m_reader = this;
    int fieldIndex = 0; // fields seen so far on this line minus one; 16 means "too many"
    Line::Ref* current = nullptr;
    qint64 blockStart = 0;
    for (;;) {
        ssize_t got = ::read(m_fd, block.data(), size_t(block.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        const char* bytes = block.constData();
        for (ssize_t i = 0; i < got; ++i) {
            const char c = bytes[i];
            if (c == ',') {
                if (fieldIndex < LogFieldCount)
                    ++fieldIndex;
                const int slot = fieldIndex < LogFieldCount ? slotOf[fieldIndex] : -1;
                current = slot < 0 ? nullptr : &line.m_refs[slot];
                if (current) {
                    current->start = blockStart + i + 1;
                    current->length = 0;
                }
            } else if (c == '\r' || c == '\n') {
                if (fieldIndex == LogFieldCount - 1 && !onLine(line))
                    return true;
                fieldIndex = 0;
                current = nullptr;
            } else if (current) {
                if (current->length < qint64(sizeof current->head))
                    current->head[current->length] = c;
                ++current->length;
            }
        }
        blockStart += got;
    }
    if (fieldIndex == LogFieldCount - 1)
        onLine(line);
    return true;
}

bool splitLogLine(QByteArrayView line, std::array<QByteArrayView, 16>& fields)
{
    static_assert(LogFieldCount == 16);
    qsizetype start = 0;
    for (int index = 0; index < LogFieldCount; ++index) {
        const qsizetype comma = line.indexOf(',', start);
        if (index == LogFieldCount - 1) {
            if (comma >= 0)
                return false;
            fields[index] = line.sliced(start);
            return true;
        }
        if (comma < 0)
            return false;
        fields[index] = line.sliced(start, comma - start);
        start = comma + 1;
    }
    return true;
}

QString decodeLenient(QByteArrayView bytes)
{
    // Decoded in bounded pieces so junk with many bad bytes stays linear in cost.
    constexpr qsizetype Piece = 4096;
    QString text;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype length = qMin(Piece, bytes.size() - pos);
        const Cp932::Decoded piece = Cp932::decode(bytes.sliced(pos, length));
        text += piece.text;
        if (piece.ok) {
            pos += length;
            continue;
        }
        const qsizetype at = qBound<qsizetype>(0, piece.errorOffset, length);
        if (pos + length < bytes.size() && at >= length - 1 && at > 0) {
            pos += at; // a double-byte character cut by the piece's end: decode it whole
            continue;
        }
        text += QChar(QChar::ReplacementCharacter);
        pos += at + 1;
    }
    return text;
}

std::optional<float> singleOfField(QByteArrayView bytes)
{
    std::optional<double> value = LogRecordNumber::leadingNumber(bytes);
    if (!value) {
        const QString text = decodeLenient(bytes);
        if (!NumericText::isNumber(text))
            return std::nullopt;
        value = NumericText::leadingValue(text);
    }
    if (!std::isfinite(*value) || std::fabs(*value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(*value);
}
