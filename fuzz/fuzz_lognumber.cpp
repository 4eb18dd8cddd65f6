// The backward scan for the last record number gives what a plain forward scan of the same
// bytes gives, whatever the block size and wherever the block edges fall.
#include "FuzzSupport.h"

#include "results/LogRecordNumber.h"

#include <QFile>

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
