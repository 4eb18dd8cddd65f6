#include "ClassLog.h"

#include "LogDate.h"

#include "common/Cp932.h"
#include "common/LogFormat.h"
#include "platform/LogFile.h"
#include "results/RankingReader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace
{

qint32 dayOf(QByteArrayView bytes)
{
    const QDate date = LogDate::fromLog(bytes);
    return date.isValid() ? qint32(date.toJulianDay()) : ClassLog::NoDay;
}

struct Indexing {
    std::array<std::unordered_map<std::string_view, qint32>, ClassLog::TextColumnCount> ids;
    QByteArray lastDate;
    qint32 lastDay = ClassLog::NoDay;
};

} // namespace

ClassLog::~ClassLog() = default;

void ClassLog::clear()
{
    m_bytes = QByteArray();
    m_fileIds = {};
    m_skipped = {};
    m_records = {};
    m_texts = {};
    m_columnOfText = {};
    m_wrongFieldCount = m_notNumber = m_undecodable = 0;
    m_earliestDay = m_latestDay = NoDay;
}

ClassLog::Status ClassLog::open(const QString& path, int lockTimeoutMs)
{
    return open(QStringList{path}, lockTimeoutMs);
}

ClassLog::Status ClassLog::open(const QStringList& paths, int lockTimeoutMs)
{
    clear();
    Status status = Status::Ok;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        SafeOutput::FileId id;
        status = readFile(path, m_bytes, id, lockTimeoutMs);
        // Right after an archive was made the log itself may not be there yet.
        if (status == Status::Missing && paths.size() > 1) {
            status = Status::Ok;
            continue;
        }
        // One archive that is no log (a FIFO, a file no one may read) must not hide the rest.
        if (status != Status::Ok && i + 1 < paths.size()) {
            m_skipped.append({path, status});
            status = Status::Ok;
            continue;
        }
        if (status != Status::Ok)
            break;
        m_fileIds.append(id);
        if (i + 1 < paths.size() && !m_bytes.isEmpty() && !m_bytes.endsWith('\n'))
            m_bytes += "\r\n"; // a torn last line must not run into the next file
    }
    if (status == Status::Ok) {
        try {
            index();
        } catch (const std::bad_alloc&) {
            status = Status::TooLarge;
        }
    }
    if (status != Status::Ok)
        clear();
    return status;
}

ClassLog::Status ClassLog::openBytes(QByteArray bytes)
{
    clear();
    m_bytes = std::move(bytes);
    try {
        index();
    } catch (const std::bad_alloc&) {
        clear();
        return Status::TooLarge;
    }
    return Status::Ok;
}

ClassLog::Status ClassLog::readFile(const QString& path, QByteArray& bytes,
                                    SafeOutput::FileId& id, int lockTimeoutMs)
{
    const int fd = openRegularFile(QFile::encodeName(path), O_RDONLY);
    if (fd < 0) {
        return errno == ENOENT           ? Status::Missing
               : errno == NotRegularFile ? Status::NotAFile
                                         : Status::Unreadable;
    }
    id = SafeOutput::idOf(fd);
    const qint64 length = LogFile::lockedLength(fd, lockTimeoutMs);
    // The copy and the index together take about half as much again as the file.
    const qint64 memory = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    Status status = Status::Ok;
    if (length < 0)
        status = Status::Busy;
    else if (memory > 0 && length > memory / 2)
        status = Status::TooLarge;
    else
        status = readBytes(fd, length, bytes);
    ::close(fd);
    return status;
}

ClassLog::Status ClassLog::readBytes(int fd, qint64 length, QByteArray& bytes)
{
    const qsizetype start = bytes.size();
    try {
        bytes.resize(start + qsizetype(length));
    } catch (const std::bad_alloc&) {
        bytes.resize(start);
        return Status::TooLarge;
    }
    for (qint64 done = 0; done < length;) {
        const ssize_t got = ::pread(fd, bytes.data() + start + done,
                                    size_t(qMin<qint64>(length - done, 1 << 24)), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            bytes.resize(start);
            return got == 0 ? Status::Changed : Status::Unreadable;
        }
        done += got;
    }
    // Cut shorter while it was read: what was read may mix old and new bytes.
    struct stat st {
    };
    if (::fstat(fd, &st) == 0 && qint64(st.st_size) < length) {
        bytes.resize(start);
        return Status::Changed;
    }
    return Status::Ok;
}

void ClassLog::index()
{
    Indexing state;
    const char* data = m_bytes.constData();
    const qint64 length = m_bytes.size();
    m_records.reserve(size_t(length / 100));
    const char* end = data + length;
    for (const char* p = data; p < end;) {
        const char* stop = p;
        while (stop < end && *stop != '\r' && *stop != '\n')
            ++stop;
        const qint64 at = p - data;
        if (stop > p) {
            const QByteArrayView line(p, stop - p);
            LogFields fields;
            if (line.size() > MaxLineLength || !LogFormat::splitLine(line, fields)) {
                ++m_wrongFieldCount;
            } else {
                const auto speed = singleOfField(LogFormat::unquoted(fields[LogColumn::Speed]));
                const auto accuracy =
                    singleOfField(LogFormat::unquoted(fields[LogColumn::Accuracy]));
                if (!speed || !accuracy) {
                    ++m_notNumber;
                } else {
                    Record record;
                    record.offset = at;
                    record.length = qint32(line.size());
                    record.speed = *speed;
                    record.accuracy = *accuracy;
                    const QByteArrayView date = LogFormat::unquoted(fields[LogColumn::Date]);
                    if (date != QByteArrayView(state.lastDate)) {
                        state.lastDate = date.toByteArray();
                        state.lastDay = dayOf(date);
                    }
                    record.day = state.lastDay;
                    record.second =
                        LogDate::secondOfDay(LogFormat::unquoted(fields[LogColumn::Time]));
                    for (int i = 0; i < TextColumnCount; ++i) {
                        const QByteArrayView bytes =
                            LogFormat::unquoted(fields[FirstTextColumn + i]);
                        const std::string_view key(bytes.data(), size_t(bytes.size()));
                        auto found = state.ids[size_t(i)].find(key);
                        if (found == state.ids[size_t(i)].end()) {
                            const qint32 id = qint32(m_texts.size());
                            const Cp932::Decoded decoded = Cp932::decode(bytes);
                            m_texts.push_back(
                                {decoded.ok ? decoded.text : decodeLenient(bytes), 0, decoded.ok});
                            m_columnOfText.push_back(FirstTextColumn + i);
                            found = state.ids[size_t(i)].emplace(key, id).first;
                        }
                        record.text[size_t(i)] = found->second;
                    }
                    m_records.push_back(record);
                }
            }
        }
        p = stop;
        while (p < end && (*p == '\r' || *p == '\n'))
            ++p;
    }
    for (const Record& record : m_records) {
        if (record.day != NoDay) {
            m_earliestDay = m_earliestDay == NoDay ? record.day : qMin(m_earliestDay, record.day);
            m_latestDay = qMax(m_latestDay, record.day);
        }
        if (std::any_of(record.text.begin(), record.text.end(),
                        [&](qint32 id) { return !m_texts[size_t(id)].decoded; }))
            ++m_undecodable;
    }
    rankTexts();
}

void ClassLog::rankTexts()
{
    std::vector<qint32> order(m_texts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = qint32(i);
    std::sort(order.begin(), order.end(), [&](qint32 a, qint32 b) {
        return m_texts[size_t(a)].text < m_texts[size_t(b)].text;
    });
    for (size_t place = 0; place < order.size(); ++place)
        m_texts[size_t(order[place])].rank = qint32(place);
}

LogFields ClassLog::fields(int row) const
{
    const Record& r = record(row);
    LogFields fields;
    if (!LogFormat::splitLine(QByteArrayView(m_bytes.constData() + r.offset, r.length), fields))
        return {};
    for (QByteArrayView& field : fields)
        field = LogFormat::unquoted(field);
    return fields;
}

QByteArrayView ClassLog::field(int row, int column) const
{
    return fields(row)[size_t(column)];
}

QString ClassLog::text(int row, int column) const
{
    return text(row, column, field(row, column));
}

QString ClassLog::text(int row, int column, QByteArrayView raw) const
{
    if (column >= FirstTextColumn && column < FirstTextColumn + TextColumnCount)
        return textOf(record(row).text[size_t(column - FirstTextColumn)]);
    // Numbers, dates and times are plain ASCII as the writer puts them.
    for (char c : raw) {
        if (uchar(c) >= 0x80)
            return decodeLenient(raw);
    }
    return QString::fromLatin1(raw);
}

QDateTime ClassLog::when(int row) const
{
    const Record& r = record(row);
    if (r.day == NoDay)
        return {};
    return QDateTime(QDate::fromJulianDay(r.day), QTime(0, 0).addSecs(qMax(0, r.second)));
}

QDate ClassLog::earliestDate() const
{
    return m_earliestDay == NoDay ? QDate() : QDate::fromJulianDay(m_earliestDay);
}

QDate ClassLog::latestDate() const
{
    return m_latestDay == NoDay ? QDate() : QDate::fromJulianDay(m_latestDay);
}

QStringList ClassLog::valuesOf(int column) const
{
    std::vector<qint32> ids;
    for (size_t id = 0; id < m_texts.size(); ++id) {
        if (m_columnOfText[id] == column)
            ids.push_back(qint32(id));
    }
    std::sort(ids.begin(), ids.end(), [&](qint32 a, qint32 b) {
        return m_texts[size_t(a)].rank < m_texts[size_t(b)].rank;
    });
    QStringList values;
    for (qint32 id : ids) {
        if (values.isEmpty() || values.last() != m_texts[size_t(id)].text)
            values.append(m_texts[size_t(id)].text);
    }
    return values;
}
