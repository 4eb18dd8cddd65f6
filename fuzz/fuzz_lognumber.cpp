// The backward scan for the last record number gives what a plain forward scan of the same
// bytes gives, whatever the block size and wherever the block edges fall.
#include "FuzzSupport.h"

#include "results/LogRecordNumber.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

using LogRecordNumber::Result;

Result forwardScan(QByteArrayView bytes)
{
    Result result;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes.at(i) != '\r' && bytes.at(i) != '\n')
            continue;
        if (i > start) {
            if (const auto number =
                    LogRecordNumber::leadingNumber(bytes.sliced(start, i - start))) {
                result.status = Result::Found;
                result.value = *number;
            }
        }
        start = i + 1;
    }
    return result;
}

// The first field as a number the plain way: blanks around it, an optional sign, digits with
// at most one point, an exponent with E or D.
void checkLeadingNumber(QByteArrayView line)
{
    static const QRegularExpression number(QStringLiteral(
        "^[ \\t]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eEdD][+-]?[0-9]+)?)[ \\t]*\\z"));
    const qsizetype comma = line.indexOf(',');
    const QByteArrayView field = comma < 0 ? line : line.first(comma);
    const auto match = number.match(QString::fromLatin1(field));
    const auto parsed = LogRecordNumber::leadingNumber(line);
    if (!match.hasMatch()) {
        FUZZ_CHECK(!parsed);
        return;
    }
    QByteArray text = match.captured(1).toLatin1();
    text.replace('d', 'e').replace('D', 'e');
    errno = 0;
    const double value = std::strtod(text.constData(), nullptr);
    // Beyond the range of a double the field is no number; that is the only disagreement.
    if (errno == ERANGE || std::isinf(value) || (value != 0 && std::fabs(value) < DBL_MIN)) {
        FUZZ_CHECK(!parsed || *parsed == value);
        return;
    }
    FUZZ_CHECK(parsed && *parsed == value);
}

bool same(const Result& a, const Result& b)
{
    return a.status == b.status &&
           (a.status != Result::Found || std::memcmp(&a.value, &b.value, sizeof a.value) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const qint64 blockSize = 1 + in.byte() % 16;
    const uint16_t cut = in.word();
    const QByteArray bytes = in.rest();

    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/pelko.log");
    Fuzz::writeFile(path, bytes);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    FUZZ_CHECK(fd >= 0);

    checkLeadingNumber(bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n')));
    const Result expected = forwardScan(bytes);
    FUZZ_CHECK(same(LogRecordNumber::lastNumbered(fd, bytes.size(), blockSize), expected));
    FUZZ_CHECK(same(LogRecordNumber::lastNumbered(fd, bytes.size()), expected));
    // A size short of the file: the bytes after it do not exist for the scan.
    const qint64 shorter = bytes.isEmpty() ? 0 : cut % bytes.size();
    FUZZ_CHECK(same(LogRecordNumber::lastNumbered(fd, shorter, blockSize),
                    forwardScan(QByteArrayView(bytes).first(shorter))));
    ::close(fd);
    return 0;
}
