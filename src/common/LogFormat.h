#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <array>
#include <optional>

// The columns of a main-log line, in their order. The pass log writes a chosen few of them,
// each named in the setting by its one-letter code.
enum class LogColumn {
    RecordNumber,
    Date,
    Time,
    UserId,
    UserName,
    ComputerName,
    LoginName,
    FileName,
    Speed,
    Accuracy,
    Errors,
    AcceptedChars,
    TotalChars,
    KanjiOrSymbolChars,
    AlphanumericChars,
    SecondsUsed
};

namespace LogFormat
{

inline constexpr int ColumnCount = 16;

// Every column in log order, for loops.
inline constexpr std::array<LogColumn, ColumnCount> Columns = [] {
    std::array<LogColumn, ColumnCount> all{};
    for (int i = 0; i < ColumnCount; ++i)
        all[size_t(i)] = LogColumn(i);
    return all;
}();

// The column's title, as the pass log's format block and the browser show it.
QString title(LogColumn column);
// The column's code: its place as one upper-case hexadecimal digit, "0" … "F".
constexpr QChar code(LogColumn column)
{
    return QChar(u"0123456789ABCDEF"[int(column)]);
}
std::optional<LogColumn> columnOfCode(QChar code);
std::optional<LogColumn> columnOfTitle(const QString& title);

// The file column of a drill run. Drills are short repeated lines, so their speeds are no
// match for a real run's: the ranking and best speeds leave them out.
inline const QString DrillFileName = QStringLiteral("弱点練習");

} // namespace LogFormat

// The fields of one line, reachable by column or by place.
struct LogFields : std::array<QByteArrayView, LogFormat::ColumnCount> {
    using std::array<QByteArrayView, LogFormat::ColumnCount>::operator[];
    QByteArrayView& operator[](LogColumn column) { return (*this)[size_t(column)]; }
    QByteArrayView operator[](LogColumn column) const { return (*this)[size_t(column)]; }
};

namespace LogFormat
{

// Cuts a line (without its line end) at every comma into the first `capacity` fields, as
// every reader of the logs does. Returns how many fields the line holds, or capacity + 1 when
// it holds more. A comma never occurs inside a double-byte Shift-JIS character.
// Inline: the browser splits a line for every row it sorts or shows.
inline int splitFields(QByteArrayView line, QByteArrayView* fields, int capacity)
{
    qsizetype start = 0;
    for (int index = 0; index < capacity; ++index) {
        const qsizetype comma = line.indexOf(',', start);
        if (comma < 0) {
            fields[index] = line.sliced(start);
            return index + 1;
        }
        fields[index] = line.sliced(start, comma - start);
        start = comma + 1;
    }
    return capacity + 1;
}

// The sixteen fields of a line; false when it holds another number of fields.
inline bool splitLine(QByteArrayView line, LogFields& fields)
{
    return splitFields(line, fields.data(), ColumnCount) == ColumnCount;
}

// A field without the double quotes around it, if any.
inline QByteArrayView unquoted(QByteArrayView field)
{
    if (!field.isEmpty() && field.front() == '"')
        field = field.sliced(1);
    if (!field.isEmpty() && field.back() == '"')
        field.chop(1);
    return field;
}

} // namespace LogFormat
