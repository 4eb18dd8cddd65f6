#include "RankingReader.h"

#include "LogRecordNumber.h"
#include "SeparatorScan.h"
#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "common/NumericText.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <unistd.h>

namespace
{

constexpr int LogFieldCount = LogFormat::ColumnCount;
constexpr qsizetype BlockSize = 256 * 1024;
constexpr qsizetype PassSize = 16 * 1024;
constexpr qsizetype ListRoom = PassSize + SeparatorScan::SpareEntries;

// Which log field each candidate field is.
constexpr LogColumn fieldOf[RankingReader::FieldCount] = {
    LogColumn::Date,  LogColumn::UserId,   LogColumn::UserName,   LogColumn::FileName,
    LogColumn::Speed, LogColumn::Accuracy, LogColumn::SecondsUsed};

// The log's own numbers ("123.4"): digits with at most one point, up to 15 digits. Both the
// digits and the power of ten are exact doubles, so one division rounds as the full parser
// does. Empty for anything else, which the full parser takes.
inline std::optional<double> plainDecimal(QByteArrayView bytes)
{
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const qsizetype size = bytes.size();
    if (size == 0 || size > 16)
        return std::nullopt;
    const char* text = bytes.data();
    quint64 digits = 0;
    qsizetype point = -1;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned digit = unsigned(static_cast<unsigned char>(text[i])) - '0';
        if (digit < 10) {
            digits = digits * 10 + digit;
            continue;
        }
        if (text[i] != '.' || point >= 0)
            return std::nullopt;
        point = i;
    }
    const qsizetype count = size - (point >= 0 ? 1 : 0);
    if (count == 0 || count > 15)
        return std::nullopt;
    return double(digits) / powers[point < 0 ? 0 : size - 1 - point];
}

} // namespace

QByteArray RankingReader::Line::field(Field which, bool& ok) const
{
    const Ref& ref = m_refs[which];
    if (ref.inBlock)
        return QByteArray(ref.inBlock, qsizetype(ref.length));
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

QByteArrayView RankingReader::Line::bytes(Field which, QByteArray& longField, bool& ok) const
{
    const Ref& ref = m_refs[which];
    if (ref.inBlock)
        return QByteArrayView(ref.inBlock, qsizetype(ref.length));
    if (ref.length <= qint64(sizeof ref.head))
        return QByteArrayView(ref.head, qsizetype(ref.length));
    longField = field(which, ok);
    return longField;
}

float RankingReader::decimalValue(quint32 digits, int places)
{
    static constexpr double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    return float(double(digits) / powers[places]);
}

bool RankingReader::Line::number(Field which, float& value, bool& ok) const
{
    const Ref& ref = m_refs[which];
    if (ref.inBlock) {
        quint32 digits;
        int places;
        if (decimal(which, digits, places)) {
            value = decimalValue(digits, places);
            return true;
        }
        if (const std::optional<double> other = plainDecimal(
                LogFormat::unquoted(QByteArrayView(ref.inBlock, qsizetype(ref.length))))) {
            value = float(*other);
            return true;
        }
    }
    QByteArray longField;
    const std::optional<float> full =
        singleOfField(LogFormat::unquoted(bytes(which, longField, ok)));
    if (full)
        value = *full;
    return full.has_value();
}

namespace
{

void appendToRef(RankingReader::Line::Ref& ref, const char* bytes, qsizetype count)
{
    if (ref.length < qint64(sizeof ref.head))
        std::memcpy(ref.head + ref.length, bytes,
                    size_t(std::min<qint64>(count, qint64(sizeof ref.head) - ref.length)));
    ref.length += count;
}

} // namespace

bool RankingReader::run(const std::function<bool(const Line&)>& onLine)
{
    // Zeros after the block let a short number at its end be read eight bytes at once.
    QByteArray block(BlockSize + 8, '\0');
    // Where a piece's commas and line ends are, and how many commas come before each end.
    const auto commaAt = std::make_unique_for_overwrite<quint32[]>(ListRoom);
    const auto lineEndAt = std::make_unique_for_overwrite<quint32[]>(ListRoom);
    const auto commasBefore = std::make_unique_for_overwrite<quint32[]>(ListRoom);
    SeparatorList separators{commaAt.get(), lineEndAt.get(), commasBefore.get()};
    Line line;
    line.m_reader = this;
    int fieldIndex = 0; // fields seen so far on this line minus one; 16 means "too many"
    Line::Ref* current = nullptr;
    // Where each field of a line goes, one look-up per comma.
    Line::Ref* refOf[LogFieldCount + 1] = {};
    for (int slot = 0; slot < FieldCount; ++slot)
        refOf[int(fieldOf[slot])] = &line.m_refs[slot];
    qint64 blockStart = 0;
    for (;;) {
        ssize_t got = ::read(m_fd, block.data(), size_t(BlockSize));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        const char* bytes = block.constData();
        qsizetype fieldFrom = 0; // where the current field's bytes in this block begin
        auto endField = [&](qsizetype end) {
            if (current->inBlock)
                current->length = end - fieldFrom;
            else
                appendToRef(*current, bytes + fieldFrom, end - fieldFrom);
        };
        // A piece at a time keeps the lists of positions small.
        for (qsizetype pass = 0; pass < got; pass += PassSize) {
            const qsizetype passEnd = std::min<qsizetype>(got, pass + PassSize);
            SeparatorScan::list(bytes + pass, passEnd - pass, separators);
            const qsizetype commaCount = separators.commaCount;
            const qsizetype lineEndCount = separators.lineEndCount;
            qsizetype comma = 0;
            for (qsizetype end = 0; end <= lineEndCount; ++end) {
                const bool ends = end < lineEndCount;
                const qsizetype commasUpTo = ends ? qsizetype(commasBefore[end]) : commaCount;
                // The usual line, whole in the piece, goes in one step, not field by field.
                if (ends && fieldIndex == 0 && commasUpTo - comma == LogFieldCount - 1) {
                    for (int slot = 0; slot < FieldCount; ++slot) {
                        const int f = int(fieldOf[slot]);
                        const qsizetype from = pass + commaAt[comma + f - 1] + 1;
                        const qsizetype to = pass + (f < LogFieldCount - 1 ? commaAt[comma + f]
                                                                           : lineEndAt[end]);
                        Line::Ref& ref = line.m_refs[slot];
                        ref.start = blockStart + from;
                        ref.length = to - from;
                        ref.inBlock = bytes + from;
                    }
                    comma = commasUpTo;
                    if (!onLine(line))
                        return true;
                    continue;
                }
                for (; comma < commasUpTo; ++comma) {
                    const qsizetype i = pass + commaAt[comma];
                    if (current)
                        endField(i);
                    fieldFrom = i + 1;
                    fieldIndex += fieldIndex < LogFieldCount;
                    current = refOf[fieldIndex];
                    if (current) {
                        current->start = blockStart + i + 1;
                        current->length = 0;
                        current->inBlock = bytes + i + 1;
                    }
                }
                if (!ends)
                    break;
                if (current)
                    endField(pass + lineEndAt[end]);
                const bool wanted = fieldIndex != LogFieldCount - 1 || onLine(line);
                fieldIndex = 0;
                current = nullptr;
                if (!wanted)
                    return true;
            }
        }
        if (current)
            endField(got);
        // The next read overwrites the block: fields of the line so far keep their head.
        for (Line::Ref& ref : line.m_refs) {
            if (ref.inBlock) {
                std::memcpy(ref.head, ref.inBlock,
                            size_t(std::min<qint64>(ref.length, qint64(sizeof ref.head))));
                ref.inBlock = nullptr;
            }
        }
        blockStart += got;
    }
    if (fieldIndex == LogFieldCount - 1)
        onLine(line);
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
    if (const std::optional<double> plain = plainDecimal(bytes))
        return float(*plain);
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
