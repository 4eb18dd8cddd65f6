// The log-file check: any existing file is judged by its first line alone, and that line
// only by its first two fields.
#include "FuzzSupport.h"

#include "settings/LogFileCheck.h"

#include <QDate>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const uint16_t day = in.word();
    const QByteArray tail = in.take(in.byte());
    const QByteArray bytes = in.rest();

    static const QString folder = Fuzz::scratchFolder();
    Fuzz::writeFile(folder + QStringLiteral("/Pelko.log"), bytes);

    // The first line as a reader of lines gives it; the check never looks further.
    QByteArray first = bytes.left(bytes.indexOf('\n') + 1);
    if (first.isEmpty())
        first = bytes;
    first = first.left(64 * 1024 - 1);
    while (first.endsWith('\n') || first.endsWith('\r'))
        first.chop(1);
    const bool looksLikeLog = LogFileCheck::firstLineLooksLikeLog(first);
    // Found ignoring letter case.
    FUZZ_CHECK(LogFileCheck::isAcceptable(folder, QStringLiteral("pelko.LOG")) ==
               (bytes.isEmpty() || looksLikeLog));

    // Anything after the second field's comma does not count.
    const qsizetype firstComma = first.indexOf(',');
    const qsizetype secondComma = firstComma < 0 ? -1 : first.indexOf(',', firstComma + 1);
    if (secondComma >= 0) {
        const QByteArray head = first.left(secondComma);
        FUZZ_CHECK(LogFileCheck::firstLineLooksLikeLog(head) == looksLikeLog);
        FUZZ_CHECK(LogFileCheck::firstLineLooksLikeLog(head + ',' + tail) == looksLikeLog);
    }

    // A record as the main log writes it always passes: number, mm-dd-yyyy date, more.
    const QDate date = QDate(1980, 1, 1).addDays(day);
    const QByteArray record = QByteArray::number(day % 1000) + ',' +
                              date.toString(QStringLiteral("MM-dd-yyyy")).toLatin1() + ',' + tail;
    FUZZ_CHECK(LogFileCheck::firstLineLooksLikeLog(
        record.left(record.indexOf('\n') < 0 ? record.size() : record.indexOf('\n'))));
    return 0;
}
